#include "HorizontalResultFiles.h"

#include "FortranFormat.h"
#include "ResultFileText.h"
#include "RunChannels.h"

namespace kd {

namespace {

const char* const kUnitsHeadingEnglish = "   (HZ)           (LB/IN)      (LB/IN)             ";
const char* const kUnitsHeadingSi = "   (HZ)           (kN/M)       (kN/M)              ";
const char* const kTransferUnits = "   (HZ)                      ";

void stiffnessHeading(OutputChannel& out, const char* title, int iunits)
{
    if (iunits != 1 && iunits != 2)
        return;
    writeHeading(out, title, kRealImagHeading, iunits == 1 ? kUnitsHeadingEnglish : kUnitsHeadingSi);
}

void transferLine(OutputChannel& out, double f, Cx motion, Cx uff)
{
    const double m = modulus(motion);
    const double ff = modulus(uff);
    out.line(resultLine(f, {m, ff, m / ff}));
}

} // namespace

HorizontalResultFiles::HorizontalResultFiles(RunChannels& channels, int iunits, int nfreq, bool superstructure)
    : m_ch(channels), m_iunits(iunits), m_nfreq(nfreq), m_superstructure(superstructure)
{
}

void HorizontalResultFiles::writeFrequency(const HorizontalLines& v, bool first)
{
    const double f = v.frequency;
    if (first) {
        writeHeading(m_ch.trnPlSsw, "TRANSFER FUNCTIONS, MOTIONS AT PILE HEAD, BASE AND FREE FIELD",
                "FREQUENCY          UP/UG        UFF/UG       UP/UFF", kTransferUnits);
        if (m_superstructure) {
            writeHeading(m_ch.trnStSsw, "TRANSFER FUNCTIONS, MOTIONS AT STRUCTURE, BASE AND FREE FIELD",
                    "FREQUENCY          UST/UG       UFF/UG      UST/UFF", kTransferUnits);
            writeHeading(m_ch.trnFdSsw, "TRANSFER FUNCTIONS, MOTIONS AT FOUNDATION, BASE AND FREE FIELD",
                    "FREQUENCY          U0/UG        UFF/UG       U0/UFF", kTransferUnits);
        }
        m_ch.plotData.line(fmtI(m_nfreq, 12) + fmtI(m_iunits, 12));
        stiffnessHeading(m_ch.stSngKhh, "HORIZONTAL STIFFNESS OF SINGLE PILE BY CBM", m_iunits);
    }
    transferLine(m_ch.trnPlSsw, f, v.up, v.uff);
    m_ch.stSngKhh.line(resultLine(f, {v.dkshh.re, v.dkshh.im}));
    m_ch.plotData.line(resultLine(f, {v.dkshh.re, v.dkshh.im}));
    if (m_superstructure) {
        transferLine(m_ch.trnStSsw, f, v.ustSingle, v.uff);
        transferLine(m_ch.trnFdSsw, f, v.u0Single, v.uff);
    }

    if (first) {
        writeHeading(m_ch.trnPlGsw, "TRANSFER FUNCTIONS, MOTIONS AT PILE HEAD, BASE AND FREE FIELD",
                "FREQUENCY          UPP/UG       UFF/UG      UPP/UFF", kTransferUnits);
        stiffnessHeading(m_ch.stGrpKhh, "HORIZONTAL STIFFNESS OF PILE GROUP BY CBM", m_iunits);
        writeHeading(m_ch.trnStGsw, "TRANSFER FUNCTIONS, MOTIONS AT STRUCTURE, BASE AND FREE FIELD",
                "FREQUENCY          UST/UG       UFF/UG      UST/UFF", kTransferUnits);
        writeHeading(m_ch.trnFdGsw, "TRANSFER FUNCTIONS, MOTIONS AT FOUNDATION, BASE AND FREE FIELD",
                "FREQUENCY          U0/UG        UFF/UG       U0/UFF", kTransferUnits);
    }
    transferLine(m_ch.trnPlGsw, f, v.upp, v.uff);
    m_ch.stGrpKhh.line(resultLine(f, {v.dkghh.re, v.dkghh.im}));
    m_ch.plotData.line(resultLine(f, {v.dkghh.re, v.dkghh.im}));
    if (m_superstructure) {
        transferLine(m_ch.trnStGsw, f, v.ustGroup, v.uff);
        transferLine(m_ch.trnFdGsw, f, v.u0Group, v.uff);
    }
}

void HorizontalResultFiles::writeFactors(const std::vector<double>& frequencies, const std::vector<Cx>& groupFactors,
                                         const std::vector<Cx>& singleFactors)
{
    writeHeading(m_ch.rtGrpKhh, "GROUP PILE FACTOR DKGHH/(N*SKSHH) BY CBM", kRealImagHeading, kFactorUnitsHeading);
    writeHeading(m_ch.rtSngKhh, "SINGLE PILE FACTOR DKSHH/SKSHH BY CBM", kRealImagHeading, kFactorUnitsHeading);
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        const std::string group = resultLine(frequencies[i], {groupFactors[i].re, groupFactors[i].im});
        m_ch.rtGrpKhh.line(group);
        m_ch.plotData.line(group);
        m_ch.rtSngKhh.line(resultLine(frequencies[i], {singleFactors[i].re, singleFactors[i].im}));
    }
}

void HorizontalResultFiles::closeAndCopyToReport()
{
    for (const HorizontalResultFile* f : horizontalFilesByChannel())
        (m_ch.*f->member).close();
    for (const HorizontalResultFile& f : kHorizontalResultFiles) {
        if (f.superstructureOnly && !m_superstructure)
            continue;
        copyResultFileToReport(m_ch.report, f.name,
                               f.part == ReportPart::SinglePile ? "HORIZONTAL RESPONSE OF SINGLE PILE  "
                                                                : "HORIZONTAL RESPONSE OF PILE GROUP   ",
                               3, m_nfreq);
    }
}

} // namespace kd
