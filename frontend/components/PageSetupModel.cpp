#include "PageSetupModel.h"

#include "MiscMath.h"

std::uint32_t PageSetupFlagValue(TPageSetupFlags m)
{
    switch (m) {
    case poDefaultMinMargins: return 0;
    case poDisableMargins: return 16;
    case poMargins: return 2;
    case poMinMargins: return 1;
    case poDisableOrientation: return 256;
    case poDisablePaper: return 512;
    case poDisablePrinter: return 32;
    case poHundredthsOfMillimeters: return 8;
    case poThousandthsOfInches: return 4;
    }
    return 0;
}

void PageSetupData::SetOptions(TPageOptions value)
{
    const TPageOptions old = m_options;
    if (value.Has(poDefaultMinMargins) && !old.Has(poDefaultMinMargins))
        value.Remove(poMinMargins);
    if (value.Has(poMinMargins) && !old.Has(poMinMargins))
        value.Remove(poDefaultMinMargins);
    if (value.Has(poHundredthsOfMillimeters) && !old.Has(poHundredthsOfMillimeters))
        value.Remove(poThousandthsOfInches);
    if (value.Has(poThousandthsOfInches) && !old.Has(poThousandthsOfInches))
        value.Remove(poHundredthsOfMillimeters);
    m_options = value;
    m_flags = 0;
    for (int m = poDefaultMinMargins; m <= poThousandthsOfInches; ++m)
        if (value.Has(static_cast<TPageSetupFlags>(m)))
            m_flags |= PageSetupFlagValue(static_cast<TPageSetupFlags>(m));
}

void PageSetupData::SetMarginLeft(int v) { m_marginLeft = MiscMath::Max(v, m_minLeft); }
void PageSetupData::SetMarginTop(int v) { m_marginTop = MiscMath::Max(v, m_minTop); }
void PageSetupData::SetMarginRight(int v) { m_marginRight = MiscMath::Max(v, m_minRight); }
void PageSetupData::SetMarginBottom(int v) { m_marginBottom = MiscMath::Max(v, m_minBottom); }
void PageSetupData::SetMinMarginLeft(int v) { m_minLeft = MiscMath::Min(v, m_marginLeft); }
void PageSetupData::SetMinMarginTop(int v) { m_minTop = MiscMath::Min(v, m_marginTop); }
void PageSetupData::SetMinMarginRight(int v) { m_minRight = MiscMath::Min(v, m_marginRight); }
void PageSetupData::SetMinMarginBottom(int v) { m_minBottom = MiscMath::Min(v, m_marginBottom); }

QPoint CenterWindowPos(int w, int h, int sw, int sh) { return {(sw - w) / 2, (sh - h) / 3}; }
