#include "PlotWindow.h"

#include "Caption.h"
#include "DataEdit.h"
#include "ChangeActiveLines.h"
#include "ChangeLineNames.h"
#include "NumberText.h"
#include "PlotPainter.h"
#include "PrintTarget.h"
#include "SaveAttb.h"
#include "Workspace.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

constexpr int LegendItemHeight = 16; // pixels at 96 pixels per inch

QString readOut(Extended v) { return generalNumberText(v, 5, localeDecimalSeparator(), 2); }

} // namespace

// What the plot holds of its window: it shows the window and, when the plot
// goes, takes the window with it. Closing the window destroys this hook
// (TGraphPlot::FormClosed) and leaves the window to Qt.
class PlotFormHook : public PlotWindowHook {
public:
    PlotFormHook(TPlotForm* form, QMdiSubWindow* frame) : m_form(form), m_frame(frame) {}

    void ShowWindow() override
    {
        QWidget* w = m_frame ? static_cast<QWidget*>(m_frame.data()) : m_form.data();
        if (!w)
            return;
        if (m_frame && m_first)
            w->showMaximized();
        else if (w->isMinimized())
            w->showNormal();
        else
            w->show();
        m_first = false;
        w->raise();
        if (m_frame && m_frame->mdiArea())
            m_frame->mdiArea()->setActiveSubWindow(m_frame);
    }

    void PlotDestroyed() override
    {
        if (m_form)
            m_form->detachPlot();
        if (m_frame)
            delete m_frame.data();
        else if (m_form)
            delete m_form.data();
    }

private:
    QPointer<TPlotForm> m_form;
    QPointer<QMdiSubWindow> m_frame;
    bool m_first = true;
};

std::unique_ptr<PlotWindowHook> TPlotForm::Create(TGraphPlot& plot, QMdiArea* area)
{
    // The bounds come first: a plot without a Y range gets no window at all.
    const std::optional<PlotBounds> bounds = ComputeBounds(plot);
    if (!bounds)
        return nullptr;
    auto* form = new TPlotForm(plot, *bounds);
    QMdiSubWindow* frame = nullptr;
    if (area) {
        frame = AddChildWindow(*area, form, ChildFrame::Sizable);
    } else {
        form->setAttribute(Qt::WA_DeleteOnClose);
    }
    return std::make_unique<PlotFormHook>(form, frame);
}

TGraphPlot::WindowFactory TPlotForm::FormFactory(QMdiArea* area)
{
    QPointer<QMdiArea> guarded(area);
    return [guarded](TGraphPlot& plot) -> std::unique_ptr<PlotWindowHook> {
        if (!guarded)
            return nullptr;
        return Create(plot, guarded.data());
    };
}

void TPlotForm::InstallMenuSwitching(QMdiArea* area, QMenuBar* bar, QAction* before)
{
    auto shown = std::make_shared<QPointer<QMenu>>();
    QObject::connect(area, &QMdiArea::subWindowActivated, bar,
                     [bar, before = QPointer<QAction>(before), shown](QMdiSubWindow* window) {
                         TPlotForm* form = FromSubWindow(window);
                         QMenu* wanted = form ? form->PlotMenu() : nullptr;
                         if (*shown == wanted)
                             return;
                         if (*shown)
                             bar->removeAction((*shown)->menuAction());
                         *shown = wanted;
                         if (wanted)
                             bar->insertMenu(before.data(), wanted);
                     });
}

TPlotForm* TPlotForm::FromSubWindow(QMdiSubWindow* window)
{
    return window ? qobject_cast<TPlotForm*>(window->widget()) : nullptr;
}

TPlotForm::TPlotForm(TGraphPlot& plot, const PlotBounds& bounds) : QWidget(nullptr), m_plot(&plot)
{
    setWindowTitle(QStringLiteral("PlotForm"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFont(PlotFont(logicalDpiY(), false));
    setMouseTracking(true);
    setMinimumSize(minimumSizeHint());
    resize(sizeHint());

    m_legend = new QListWidget(this);
    m_legend->hide();
    m_legend->setUniformItemSizes(true);
    m_legend->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_legend->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_legend->setSelectionMode(QAbstractItemView::NoSelection);
    m_legend->setFocusPolicy(Qt::NoFocus);
    m_legend->viewport()->installEventFilter(this);

    m_pageSetup = new TPageSetupDialog(this);
    m_pageSetup->SetOptions({poDefaultMinMargins, poThousandthsOfInches});
    m_message = [this](const QString& text) {
        QMessageBox::information(this, QStringLiteral("Information"), text, QMessageBox::Ok);
    };

    buildMenu();
    m_full = m_view = bounds;
    buildFromPlot();
    // The page-setup margins start at one inch on every side.
    m_pageSetup->SetMarginLeft(1000);
    m_pageSetup->SetMarginTop(1000);
    m_pageSetup->SetMarginRight(1000);
    m_pageSetup->SetMarginBottom(1000);
    layOut(true);
    connect(&plot, &TGraphPlot::dataChanged, this, &TPlotForm::dataChanged);
}

TPlotForm::~TPlotForm() { delete m_plotMenu; }

QSize TPlotForm::sizeHint() const { return {6 * logicalDpiX(), 4 * logicalDpiY()}; }

QSize TPlotForm::minimumSizeHint() const { return {3 * logicalDpiX(), 2 * logicalDpiY()}; }

QString TPlotForm::MemoryMessage() { return QStringLiteral("There is not enough memory to complete this task."); }

void TPlotForm::message(const QString& text)
{
    if (m_message)
        m_message(text);
}

void TPlotForm::buildMenu()
{
    m_plotMenu = new QMenu(QStringLiteral("&Plot"));
    PlotLegend = m_plotMenu->addAction(QStringLiteral("Show &Legend"), this, &TPlotForm::PlotLegendClick);
    PlotLegend->setCheckable(true);
    PlotMarkers = m_plotMenu->addMenu(QStringLiteral("Show &Markers"));
    m_markGroup = new QActionGroup(this);
    m_markGroup->setExclusive(true);
    const std::vector<std::pair<QString, int>> marks = {
        {QStringLiteral("&Never"), 0},
        {QString(), -1},
        {QStringLiteral("Every &Increment"), 1},
        {QStringLiteral("Every &2 Increments"), 2},
        {QStringLiteral("Every &3 Incrments"), 3},
        {QStringLiteral("Every &5 Increments"), 5},
        {QStringLiteral("Every &10 Incements"), 10},
    };
    for (const auto& [text, tag] : marks) {
        if (tag < 0) {
            PlotMarkers->addSeparator();
            continue;
        }
        QAction* a = PlotMarkers->addAction(text);
        a->setCheckable(true);
        a->setData(tag);
        m_markGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag] {
            if (!m_plot)
                return;
            m_plot->Markers = tag;
            update();
        });
    }
    connect(PlotMarkers, &QMenu::aboutToShow, this, &TPlotForm::PlotMarkersClick);
    PlotPrint = m_plotMenu->addAction(QStringLiteral("&Print..."), this, &TPlotForm::PlotPrintClick);
    PlotPage = m_plotMenu->addAction(QStringLiteral("P&age Setup"), this, &TPlotForm::PlotPageClick);
    PlotSave = m_plotMenu->addAction(QStringLiteral("&Save To Disk..."), this, &TPlotForm::PlotSaveClick);
    PlotCaption = m_plotMenu->addAction(QStringLiteral("&Graph Title"), this, &TPlotForm::PlotCaptionClick);
    mLineName = m_plotMenu->addAction(QStringLiteral("&Edit Legend"), this, &TPlotForm::mLineNameClick);
    ActiveGraphs = m_plotMenu->addAction(QStringLiteral("&Active Graphs"), this, &TPlotForm::ActiveGraphsClick);
    m_lineSeparator = m_plotMenu->addSeparator();
    connect(m_plotMenu, &QMenu::aboutToShow, this, &TPlotForm::PlotMenuClick);
}

void TPlotForm::PlotMenuClick()
{
    if (!m_plot)
        return;
    PlotLegend->setChecked(m_plot->ShowLegend);
    for (QAction* item : m_lineItems) {
        const int line = item->data().toInt();
        item->setChecked(line < m_plot->LineCount() && m_plot->Lines(line).Active);
    }
}

void TPlotForm::PlotMarkersClick()
{
    if (!m_plot)
        return;
    // Exclusive groups keep one item checked: uncheck through a pause of the group.
    m_markGroup->setExclusive(false);
    for (QAction* a : m_markGroup->actions())
        a->setChecked(a->data().toInt() == m_plot->Markers);
    m_markGroup->setExclusive(true);
}

void TPlotForm::buildFromPlot()
{
    std::vector<bool> listed;
    for (int i = 0; i < m_plot->LineCount(); ++i)
        listed.push_back(m_plot->Lines(i).Listed);
    listed = ListingAtOpen(listed);
    for (int i = 0; i < m_plot->LineCount(); ++i)
        m_plot->Lines(i).Listed = listed[i];
    setEntries(LegendTexts(*m_plot));
    m_legendSize = QSize(0, 0);
    sizeLegend(true);
    const bool visible = m_plot->LineCount() > 0 && m_plot->ShowLegend;
    m_legend->setVisible(visible);
    PlotLegend->setVisible(visible);
}

void TPlotForm::setEntries(const QStringList& texts)
{
    m_legendTexts = texts;
    m_legendLines.clear();
    for (int i = 0; i < m_plot->LineCount(); ++i)
        if (m_plot->Lines(i).Listed)
            m_legendLines.push_back(i);
    for (QAction* a : m_lineItems)
        delete a;
    m_lineItems.clear();
    for (int p = 0; p < static_cast<int>(m_legendLines.size()) && p < texts.size(); ++p) {
        const int line = m_legendLines[p];
        QAction* a = m_plotMenu->addAction(texts[p]);
        a->setCheckable(true);
        a->setChecked(m_plot->Lines(line).Active);
        a->setData(line);
        connect(a, &QAction::triggered, this, [this, line] { ToggleLine(line); });
        m_lineItems.push_back(a);
    }
    refreshLegendItems();
}

void TPlotForm::refreshLegendItems()
{
    m_legend->clear();
    const int itemHeight = LegendItemHeight * logicalDpiY() / 96;
    for (int p = 0; p < m_legendTexts.size(); ++p) {
        const int line = p < static_cast<int>(m_legendLines.size()) ? m_legendLines[p] : -1;
        const bool active = m_plot && line >= 0 && line < m_plot->LineCount() && m_plot->Lines(line).Active;
        auto* item = new QListWidgetItem(m_legendTexts[p] + (active ? QStringLiteral(" *") : QString()), m_legend);
        item->setForeground(LineColor(p));
        item->setBackground(Qt::white);
        item->setSizeHint(QSize(0, itemHeight));
    }
}

void TPlotForm::sizeLegend(bool allowNarrowing)
{
    const QFontMetrics fm(m_legend->font(), m_legend);
    std::vector<int> widths;
    for (const QString& t : m_legendTexts)
        widths.push_back(fm.horizontalAdvance(t + QStringLiteral(" *")));
    const int itemHeight = LegendItemHeight * logicalDpiY() / 96;
    const int width = LegendListWidth(allowNarrowing ? 0 : m_legendSize.width(), widths, logicalDpiX());
    m_legendSize = QSize(width, static_cast<int>(m_legendTexts.size()) * itemHeight + 3);
    fitLegendSize();
}

void TPlotForm::resizeLegend()
{
    // A legend in the plot area's lower right corner grows and shrinks
    // from that corner, so that it stays inside the frame.
    const bool inCorner = legendInCorner();
    sizeLegend(false);
    if (inCorner)
        placeLegendInCorner();
    keepLegendInside();
}

void TPlotForm::layOut(bool placeLegend)
{
    m_ppiX = logicalDpiX();
    m_ppiY = logicalDpiY();
    const bool hasTitle = m_plot && !m_plot->Title.isEmpty();
    m_layout = ScreenLayout(width(), height(), m_ppiX, m_ppiY, m_plot ? m_plot->XOnTop : true, hasTitle,
                            m_plot && m_plot->TitleOnTop);
    fitLegendSize();
    if (placeLegend)
        placeLegendInCorner();
    keepLegendInside();
    update();
}

void TPlotForm::fitLegendSize()
{
    // Entries that do not fit the client area scroll.
    const QSize shown = m_legendSize.boundedTo(QSize(std::max(0, width()), std::max(0, height())));
    m_legend->setVerticalScrollBarPolicy(shown.height() < m_legendSize.height() ? Qt::ScrollBarAsNeeded
                                                                                 : Qt::ScrollBarAlwaysOff);
    m_legend->setHorizontalScrollBarPolicy(shown.width() < m_legendSize.width() ? Qt::ScrollBarAsNeeded
                                                                               : Qt::ScrollBarAlwaysOff);
    m_legend->resize(shown);
}

void TPlotForm::placeLegendInCorner()
{
    m_legend->move(m_layout.PlotRect.Right - m_legend->width(), m_layout.PlotRect.Bottom - m_legend->height());
}

bool TPlotForm::legendInCorner() const
{
    return m_legend->x() + m_legend->width() == m_layout.PlotRect.Right
        && m_legend->y() + m_legend->height() == m_layout.PlotRect.Bottom;
}

void TPlotForm::keepLegendInside()
{
    QPoint p = m_legend->pos();
    if (p.x() + m_legend->width() > width())
        p.setX(width() - m_legend->width());
    if (p.x() < 0)
        p.setX(0);
    if (p.y() + m_legend->height() > height())
        p.setY(height() - m_legend->height());
    if (p.y() < 0)
        p.setY(0);
    m_legend->move(p);
}

PlotContent TPlotForm::content() const { return m_plot ? ContentOf(*m_plot, m_legendTexts) : PlotContent{}; }

void TPlotForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    ::PlotPage page;
    page.PageRect = m_layout.PageRect;
    page.PlotRect = m_layout.PlotRect;
    page.PixelsPerInchX = m_ppiX;
    page.PixelsPerInchY = m_ppiY;
    DrawPlot(painter, page, m_view, content());
    // The first picture shows the window at its final geometry (an MDI
    // window is shown first and maximised or cascaded after): from now on
    // the legend stays where it is, only kept inside.
    m_legendPlaced = true;
    if (m_zooming) {
        // The rubber band is drawn over the picture on every repaint.
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(m_zoomStart, m_zoomCorner).normalized());
    }
}

void TPlotForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut(!m_legendPlaced);
}

void TPlotForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Until the window is first painted, the legend follows the plot area's
    // lower right corner through every change of size.
    layOut(!m_legendPlaced);
}

void TPlotForm::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!m_plot || !Contains(m_layout.PlotRect, p))
        return;
    const bool xOnTop = m_plot->XOnTop;
    if (event->button() == Qt::LeftButton) {
        m_zooming = true;
        m_zoomStart = m_zoomCorner = p;
    } else if (event->button() == Qt::RightButton) {
        m_view = ZoomOut(m_view, m_full, m_layout.PlotRect, xOnTop, p);
        update();
    }
}

void TPlotForm::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_plot)
        return;
    const QPoint p = ClampInto(event->position().toPoint(), m_layout.PlotRect);
    if (m_zooming) {
        m_zoomCorner = p;
        update();
    }
    const PlotPoint d = PlotMapping(m_view, m_layout.PlotRect, m_plot->XOnTop).ToData(p);
    setWindowTitle(m_plot->Caption + QStringLiteral(" X: ") + readOut(d.X) + QStringLiteral(" Y: ") + readOut(d.Y));
}

void TPlotForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_zooming || !m_plot)
        return;
    m_zooming = false;
    const auto v = ZoomIn(m_view, m_full, m_layout.PlotRect, m_plot->XOnTop, m_zoomStart, event->position().toPoint());
    if (v)
        m_view = *v;
    update();
}

bool TPlotForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_legend->viewport())
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            m_legendDragging = true;
            m_legendPlaced = true; // the user's place from now on
            m_legendGrab = m_legend->viewport()->mapTo(m_legend, mouse->position().toPoint());
        }
        return true;
    case QEvent::MouseMove:
        if (m_legendDragging) {
            const QPoint at = m_legend->viewport()->mapTo(m_legend, mouse->position().toPoint());
            const int left = std::clamp(m_legend->x() + at.x() - m_legendGrab.x(), 0,
                                        std::max(0, width() - m_legend->width()));
            const int top = std::clamp(m_legend->y() + at.y() - m_legendGrab.y(), 0,
                                       std::max(0, height() - m_legend->height()));
            m_legend->move(left, top);
        }
        return true;
    case QEvent::MouseButtonRelease:
        m_legendDragging = false;
        return true;
    case QEvent::MouseButtonDblClick: {
        m_legendDragging = false;
        const int row = m_legend->row(m_legend->itemAt(mouse->position().toPoint()));
        if (row >= 0 && row < static_cast<int>(m_legendLines.size()))
            ToggleLine(m_legendLines[row]);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TPlotForm::ToggleLine(int line)
{
    if (!m_plot || line < 0 || line >= m_plot->LineCount())
        return;
    m_plot->Lines(line).Active = !m_plot->Lines(line).Active;
    for (QAction* a : m_lineItems)
        if (a->data().toInt() == line)
            a->setChecked(m_plot->Lines(line).Active);
    refreshLegendItems();
    update();
}

void TPlotForm::PlotLegendClick()
{
    if (!m_plot)
        return;
    m_plot->ShowLegend = !m_plot->ShowLegend;
    m_legend->setVisible(m_plot->ShowLegend);
}

void TPlotForm::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (m_plot) {
        TGraphPlot* plot = m_plot;
        m_plot = nullptr;
        disconnect(plot, nullptr, this, nullptr);
        plot->FormClosed(); // destroys the hook; the next Show makes a new window
    }
}

void TPlotForm::dataChanged()
{
    if (!m_plot)
        return;
    const std::optional<PlotBounds> bounds = ComputeBounds(*m_plot);
    if (!bounds) {
        // Nothing left to show: the window goes, as it would not have opened.
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame->close();
        else
            close();
        return;
    }
    m_full = m_view = *bounds;
    m_zooming = false;
    buildFromPlot();
    layOut(!m_legendPlaced);
}

// Printing ------------------------------------------------------------------

void TPlotForm::PlotPrintClick()
{
    if (ChoosePrintTarget(m_printer, this, m_plot ? m_plot->FileFolder : QString()))
        PrintOn(m_printer);
}

bool TPlotForm::PrintOn(QPrinter& printer)
{
    if (!m_plot)
        return false;
    printer.setDocName(m_plot->Caption);
    printer.setFullPage(false);
    // The printable area is the paper less the device's unprintable edges;
    // the page-setup margins are applied inside it.
    QPageLayout layout = printer.pageLayout();
    layout.setMargins(layout.minimumMargins());
    printer.setPageLayout(layout);

    bool ok;
    {
        QPainter painter;
        ok = painter.begin(&printer);
        if (ok) {
            const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
            ::PlotPage page;
            page.PixelsPerInchX = printer.logicalDpiX();
            page.PixelsPerInchY = printer.logicalDpiY();
            const PrintMargins margins{m_pageSetup->MarginLeft(), m_pageSetup->MarginTop(), m_pageSetup->MarginRight(),
                                       m_pageSetup->MarginBottom()};
            const PlotLayout l = PrintLayout(paint.width(), paint.height(), paint.left(), paint.top(),
                                             page.PixelsPerInchX, page.PixelsPerInchY, margins, m_plot->XOnTop,
                                             !m_plot->Title.isEmpty(), m_plot->TitleOnTop);
            page.PageRect = l.PageRect;
            page.PlotRect = l.PlotRect;
            page.WithLegendBox = true;
            DrawPlot(painter, page, m_view, content());
            ok = painter.end();
        }
    }
    if (!ok || printer.printerState() == QPrinter::Error) {
        const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        message(QStringLiteral("The graph could not be printed on %1.").arg(where));
        return false;
    }
    update();
    return true;
}

void TPlotForm::PlotPageClick()
{
    m_pageSetup->Execute(m_printer, this);
}

// Saving --------------------------------------------------------------------

void TPlotForm::PlotSaveClick()
{
    QFileDialog dialog(this, QStringLiteral("Save To Disk"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Bitmap (*.bmp)"));
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    if (m_plot && !m_plot->FileFolder.isEmpty())
        dialog.setDirectory(m_plot->FileFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    QImage bitmap;
    TdlgFormat attributes(&bitmap, this);
    const int result = attributes.exec();
    if (result == QDialog::Accepted) {
        const int ppi = static_cast<int>(attributes.dePPI->Number());
        SaveBitmap(path, bitmap, ppi);
    } else if (result == TdlgFormat::AbortResult) {
        message(MemoryMessage());
    }
}

bool TPlotForm::SaveBitmap(const QString& path, QImage& bitmap, int pixelsPerInch)
{
    if (!m_plot)
        return false;
    if (bitmap.isNull()) {
        message(MemoryMessage());
        return false;
    }
    {
        QPainter painter(&bitmap);
        ::PlotPage page;
        // The screen's resolution: the dialog's pixels per inch fixes only the size.
        page.PixelsPerInchX = logicalDpiX();
        page.PixelsPerInchY = logicalDpiY();
        const PlotLayout l =
            BitmapLayout(bitmap.width(), bitmap.height(), page.PixelsPerInchX, page.PixelsPerInchY, m_plot->XOnTop,
                         !m_plot->Title.isEmpty(), m_plot->TitleOnTop);
        page.PageRect = l.PageRect;
        page.PlotRect = l.PlotRect;
        page.HorizontalYLabels = true;
        page.WithLegendBox = true;
        DrawPlot(painter, page, m_view, content());
    }
    const int dotsPerMeter = static_cast<int>(std::lround(pixelsPerInch / 0.0254));
    bitmap.setDotsPerMeterX(dotsPerMeter);
    bitmap.setDotsPerMeterY(dotsPerMeter);
    if (!bitmap.save(path, "BMP")) {
        message(QStringLiteral("The bitmap could not be written to %1.").arg(path));
        return false;
    }
    return true;
}

// Dialogs -------------------------------------------------------------------

void TPlotForm::PlotCaptionClick()
{
    if (!m_plot)
        return;
    TfrmGraphCaption dialog(this);
    dialog.edtCaption->setText(m_plot->Title);
    (m_plot->TitleOnTop ? dialog.rbTop : dialog.rbBottom)->setChecked(true);
    dialog.exec();
    if (!m_plot)
        return;
    // Applied however the dialog was closed.
    m_plot->Title = dialog.edtCaption->text();
    m_plot->TitleOnTop = dialog.rbTop->isChecked();
    layOut(false);
}

void TPlotForm::curveNamesAndListing(QStringList& names, std::vector<bool>& listed) const
{
    for (int i = 0; i < m_plot->LineCount(); ++i) {
        names << m_plot->Lines(i).GetName();
        listed.push_back(m_plot->Lines(i).Listed);
    }
}

void TPlotForm::mLineNameClick()
{
    if (!m_plot)
        return;
    QStringList names;
    std::vector<bool> listed;
    curveNamesAndListing(names, listed);
    TfrmLineNames dialog(names, listed, this);
    if (dialog.exec() != QDialog::Accepted || !m_plot)
        return;
    for (int i = 0; i < m_plot->LineCount() && i < names.size(); ++i)
        m_plot->Lines(i).Name = names[i];
    for (int p = 0; p < static_cast<int>(m_legendLines.size()) && p < m_legendTexts.size(); ++p) {
        const int line = m_legendLines[p];
        if (line < names.size()) {
            m_legendTexts[p] = names[line];
            m_lineItems[p]->setText(names[line]);
        }
    }
    refreshLegendItems();
    resizeLegend();
    update();
}

void TPlotForm::ActiveGraphsClick()
{
    if (!m_plot)
        return;
    QStringList names;
    std::vector<bool> listed;
    curveNamesAndListing(names, listed);
    QStringList flags = FlagsFromListed(listed);
    TfrmActiveLines dialog(names, flags, this);
    if (dialog.exec() != QDialog::Accepted || !m_plot)
        return;
    const std::vector<bool> chosen = ListedFromFlags(flags);
    QStringList texts;
    for (int i = 0; i < m_plot->LineCount() && i < static_cast<int>(chosen.size()); ++i) {
        m_plot->Lines(i).Listed = chosen[i];
        if (chosen[i])
            texts << names[i];
    }
    setEntries(texts);
    resizeLegend();
    update();
}
