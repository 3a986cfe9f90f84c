#include "InputEcho.h"

#include "FortranFormat.h"
#include "ProjectInput.h"
#include "RecordFile.h"
#include "SharedStorage.h"
#include "SublayerModel.h"

namespace kd {

namespace {

const char* pick(int iunits, const char* english, const char* si) { return iunits == 1 ? english : si; }

} // namespace

void echoInput(OutputChannel& out, const ProjectInput& in, const SharedStorage& s)
{
    const int u = in.iunits;
    const bool labelled = u == 1 || u == 2;

    out.emptyLine();
    out.line(" COMPUTER PROGRAM KELDOR 2.0");
    out.emptyLine();
    out.emptyLine();
    out.line(" DEFINITION OF SOME VARIABLES USED IN THE OUTPUT");
    out.line(" UFF  : free-field ground-surface displacement");
    out.line(" UP   : pile-head displacement of pile");
    out.line(" UPP  : pile-head displacement of pile group");
    out.line(" UST  : superstructure motion due to a rock motion");
    out.line(" U0   : foundation motion due to a rock motion");
    out.line(" UG   : the seismic excitation at the pile tip level(base)");
    out.emptyLine();
    out.line(" DKSHH: horizontal dynamic stiffness of single pile");
    out.line(" SKSHH: horizontal static stiffness of single pile, (at the lower frecuency)");
    out.line(" DKGHH: horizontal dynamic stiffness of pile group");
    out.line(" DKSVV: vertical dynamic stiffness of single pile");
    out.line(" SKSVV: vertical static stiffness of single pile (at the lower frecuency)");
    out.line(" DKGVV: vertical dynamic stiffness of pile group");
    out.line(" DKGRX: rocking dynamic stiffness (x dir) of pile group");
    out.line(" DKGRY: rocking dynamic stiffness (y dir) of pile group");
    out.emptyLine();
    out.emptyLine();
    out.line(in.title80());
    out.emptyLine();
    out.line("NUMBER OF MAIN LAYER=" + fmtI(static_cast<long long>(in.layers.size()), 5));

    int k = 0;
    for (std::size_t j = 0; j < in.layers.size(); ++j) {
        const auto& layer = in.layers[j];
        if (labelled) {
            out.line("LAYER =" + fmtI(static_cast<long long>(j + 1), 5));
            out.line("NUMBER OF SUBLAYERS=" + fmtI(layer.nsub, 3) + blanks(2) + "HEIGHT OF SOIL LAYER=" +
                     fmtF(layer.height, 8, 3) + pick(u, " (IN)", " (M)"));
        }
        out.line("SUBL.     H        CS        GS          ES        RHOS       POIS   DAMPS");
        if (labelled)
            out.line(pick(u, " NO.    (IN)   (IN/SEC)    (PSI)       (PSI)    (LB-S2/IN4)           (%)",
                          " NO.     (M)    (M/SEC)   (kN/M2)     (kN/M2)     (Mg/M3)             (%)"));
        for (int m = 0; m < layer.nsub; ++m) {
            ++k;
            const double g = shearModulusH(layer.vs, layer.rho);
            out.line(fmtI(k, 4) + fmtF(s.subH[k], 10, 3) + fmtF(layer.vs, 9, 2) + fmtE(g, 12, 5) +
                     fmtE(s.subEs[k], 12, 5) + fmtE(layer.rho, 12, 5) + fmtF(layer.nu, 8, 3) +
                     fmtF(layer.beta * 100.0, 8, 2));
        }
        out.emptyLine();
    }

    out.emptyLine();
    out.line("PILE PROPERTIES");
    if (labelled) {
        out.line(" Elastic modulus of the pile,     EP = " + fmtE(in.ep, 14, 5) + pick(u, " (PSI)", " (kN/M2)"));
        out.line(" Poisson ratio of the pile, POISSONP = " + fmtF(in.poissonp, 8, 3));
        out.line(" Mass density of the pile,      ROUP = " + fmtE(in.roup, 14, 5) + pick(u, " (LB-S2/IN4)", " (Mg/M3)"));
        out.line(" Moment of inertia of the pile,   IP = " + fmtE(in.ip, 14, 5) + pick(u, " (IN4)", " (M4)"));
        out.line(" Cross section area of the pile,  AP = " + fmtE(in.ap, 14, 5) + pick(u, " (IN2)", " (M2)"));
        out.line(" Radius of the pile,               R = " + fmtE(in.r, 14, 5) + pick(u, " (IN)", " (M)"));
        out.line(" Length of the pile,               L = " + fmtE(in.length, 14, 5) + pick(u, " (IN)", " (M)"));
        out.line(" Length/Diameter pile ratio      L/D = " + fmtF(in.length * 0.5 / in.r, 8, 3) + blanks(5));
        out.line(" Damping ratio of the pile,    DAMPP = " + fmtF(in.dampp * 100.0, 8, 3) + " (%)");
        out.emptyLine();
    }

    out.emptyLine();
    out.line("PILE ARRANGEMENT");
    out.emptyLine();
    out.line("PILE NUMBER    X COORD.      Y COORD. ");
    if (labelled)
        out.line(pick(u, "                 (IN)          (IN)   ", "                 (M)           (M)    "));
    for (std::size_t i = 0; i < in.x.size(); ++i)
        out.line(fmtI(static_cast<long long>(i + 1), 6) + blanks(5) + fmtE(in.x[i], 14, 5) + fmtE(in.y[i], 14, 5));
    out.emptyLine();

    out.line("SUPERSTRUCTURE PROPERTIES");
    if (labelled) {
        out.line(" BASE MASS= " + fmtE(in.baseMass, 12, 5) + pick(u, " (LB-S2/IN4)", " (Mg/M3)"));
        out.line("  TOP MASS= " + fmtE(in.topMass, 12, 5) + pick(u, " (LB-S2/IN4)", " (Mg/M3)"));
        out.line("    SPRING= " + fmtE(in.spring, 12, 5) + pick(u, " (LB/IN)", " (kN/M)"));
        out.line("   DAMPING= " + fmtE(in.damping * 100.0, 12, 5) + " (%)");
        out.emptyLine();
    }
}

void echoFrequencies(OutputChannel& out, const ProjectInput& in)
{
    out.line("NUMBER OF FREQ =" + fmtI(in.nfreq, 6));
    out.line("INITIAL FREQ   =" + fmtF(in.freq0, 10, 3) + " (HZ)");
    out.line("INCREMENT FREQ =" + fmtF(in.dfreq, 10, 3) + " (HZ)");
    out.emptyLine();
}

void writePileDepthWarning(OutputChannel& out)
{
    out.line("       WARNING - PILE LENGTH IS OVER THE BOTTOM OF THE LAST LAYER.");
    out.line("          PLEASE SHORTEN THE PILE OR ADD MORE SOIL LAYERS.");
    out.emptyLine();
}

} // namespace kd
