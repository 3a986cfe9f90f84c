#include "SoilStiffnessSymmetry.h"

#include "FortranFormat.h"
#include "RecordFile.h"

namespace kd {

void symmetrizeSoilStiffness(CMat st, int n, double tolerance, const char* heading, double frequency,
                             OutputChannel& notes)
{
    const Cx two{2.0, 0.0};
    for (int i = 1; i <= n - 1; ++i) {
        // Largest modulus of the row as it stands: entries left of the diagonal
        // were already averaged by the rows before.
        double rowmax = 0.0;
        for (int j = 1; j <= n; ++j) {
            const double m = modulus(st(i, j));
            if (m > rowmax)
                rowmax = m;
        }
        for (int j = i + 1; j <= n; ++j) {
            const Cx a = st(i, j);
            const Cx b = st(j, i);
            const Cx mean = cdiv(a + b, two);
            // A row of zeros makes the ratio infinite for a non-zero difference
            // (reported) and NaN for an exactly symmetric pair (not reported).
            if (modulus(a - b) / rowmax > tolerance) {
                notes.emptyLine();
                notes.line(std::string(heading) + fmtF(frequency, 10, 4));
                notes.line(" SYMMETRY CHECK: ST(" + fmtI(i, 3) + "," + fmtI(j, 3) + ") = " + fmtE(a.re, 15, 7) +
                           fmtE(a.im, 15, 7) + " , ST(" + fmtI(j, 3) + "," + fmtI(i, 3) + ") = " +
                           fmtE(b.re, 15, 7) + fmtE(b.im, 15, 7));
            }
            st(i, j) = mean;
            st(j, i) = mean;
        }
    }
}

} // namespace kd
