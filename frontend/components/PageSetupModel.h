#pragma once

// What the page-setup dialog keeps without a display: its option set with
// the rules that keep each pair of options exclusive, the request flags the
// options stand for, the margins with their minimums, the paper size, and
// where the dialog is placed on the screen.

#include <QPoint>

#include <cstdint>
#include <initializer_list>

enum TPageSetupFlags {
    poDefaultMinMargins,
    poDisableMargins,
    poMargins,
    poMinMargins,
    poDisableOrientation,
    poDisablePaper,
    poDisablePrinter,
    poHundredthsOfMillimeters,
    poThousandthsOfInches,
};

// A set of TPageSetupFlags: bit n holds member n.
class TPageOptions {
public:
    TPageOptions() = default;
    TPageOptions(std::initializer_list<TPageSetupFlags> members)
    {
        for (TPageSetupFlags m : members)
            m_bits |= bit(m);
    }
    bool Has(TPageSetupFlags m) const { return (m_bits & bit(m)) != 0; }
    TPageOptions& Remove(TPageSetupFlags m)
    {
        m_bits &= ~bit(m);
        return *this;
    }
    bool operator==(const TPageOptions&) const = default;

private:
    static std::uint32_t bit(TPageSetupFlags m) { return 1u << static_cast<unsigned>(m); }
    std::uint32_t m_bits = 0;
};

// The request flag of the platform's page-setup dialog that a member adds.
std::uint32_t PageSetupFlagValue(TPageSetupFlags m);

class PageSetupData {
public:
    const TPageOptions& Options() const { return m_options; }
    // The newly added member of each pair (default or own minimum margins;
    // hundredths of millimetres or thousandths of inches) wins; when both of a
    // pair are new, poDefaultMinMargins and poHundredthsOfMillimeters win.
    void SetOptions(TPageOptions value);
    std::uint32_t RequestFlags() const { return m_flags; }

    // Lengths in the unit Options selects. Each margin stays at least its
    // minimum margin.
    int MarginLeft() const { return m_marginLeft; }
    int MarginTop() const { return m_marginTop; }
    int MarginRight() const { return m_marginRight; }
    int MarginBottom() const { return m_marginBottom; }
    void SetMarginLeft(int v);
    void SetMarginTop(int v);
    void SetMarginRight(int v);
    void SetMarginBottom(int v);
    int MinMarginLeft() const { return m_minLeft; }
    int MinMarginTop() const { return m_minTop; }
    int MinMarginRight() const { return m_minRight; }
    int MinMarginBottom() const { return m_minBottom; }
    void SetMinMarginLeft(int v);
    void SetMinMarginTop(int v);
    void SetMinMarginRight(int v);
    void SetMinMarginBottom(int v);
    int PaperLength() const { return m_paperLength; }
    int PaperWidth() const { return m_paperWidth; }

protected:
    void setPaper(int length, int width)
    {
        m_paperLength = length;
        m_paperWidth = width;
    }

private:
    TPageOptions m_options{poDefaultMinMargins, poHundredthsOfMillimeters};
    std::uint32_t m_flags = PageSetupFlagValue(poDefaultMinMargins) | PageSetupFlagValue(poHundredthsOfMillimeters);
    int m_marginLeft = 0, m_marginTop = 0, m_marginRight = 0, m_marginBottom = 0;
    int m_minLeft = 0, m_minTop = 0, m_minRight = 0, m_minBottom = 0;
    int m_paperLength = 0, m_paperWidth = 0;
};

// Top-left corner that centres a window of w x h horizontally on a screen of
// sw x sh and puts it a third of the way down.
QPoint CenterWindowPos(int w, int h, int sw, int sh);
