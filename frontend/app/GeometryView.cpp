#include "GeometryView.h"

#include "DataUnit.h"
#include "Misc.h"
#include "NumberText.h"
#include "PileSide.h"
#include "PileTop.h"
#include "PrintTarget.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

GeometryView::GeometryView(const QString& caption, const QString& yName, QSize initialSize, QRect button,
                             const ViewBounds& initial, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_yName(yName), m_initialSize(initialSize), m_model(initial)
{
    setWindowTitle(caption);
    setMouseTracking(true);
    m_button = new QPushButton(QStringLiteral("Print"), this);
    m_button->setObjectName(QStringLiteral("Button1"));
    m_button->setGeometry(button);
    connect(m_button, &QPushButton::clicked, this, &GeometryView::Button1Click);
    m_message = [this](const QString& text) {
        QMessageBox::information(this, QCoreApplication::applicationName(), text, QMessageBox::Ok);
    };
    resize(initialSize);
}

GeometryView::~GeometryView() = default;

QSize GeometryView::sizeHint() const
{
    QSize frame(0, 0);
    if (auto* sub = qobject_cast<const QMdiSubWindow*>(parentWidget())) {
        const QMargins m = sub->contentsMargins();
        frame = QSize(m.left() + m.right(), m.top() + m.bottom());
    }
    return (m_initialSize - frame).expandedTo(minimumSizeHint());
}

QSize GeometryView::minimumSizeHint() const
{
    // As a plot window: three inches by two, and wide enough for the button.
    return QSize(std::max(3 * logicalDpiX(), m_button->geometry().right() + 1), 2 * logicalDpiY());
}

QString GeometryView::PrintTitle()
{
    return QStringLiteral("Soil-Pile Profile");
}

QString GeometryView::SectionsMessage()
{
    return QStringLiteral("One or more Pile Types does not have any sections");
}

void GeometryView::FollowActivations(QMdiArea* area)
{
    if (!area)
        return;
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (!window || window->widget() != this || m_rebuildPending)
            return;
        // The window being left stores its edits in its own handler of the
        // same signal, which may run after this one: the rebuild waits until
        // every handler of this activation has run.
        m_rebuildPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_rebuildPending = false;
                FormActivate();
            },
            Qt::QueuedConnection);
    });
}

void GeometryView::FormActivate()
{
    if (m_closed)
        return;
    // The rebuild comes first: a view that had no extent draws again as
    // soon as the data give it one.
    try {
        m_model = rebuild(m_model);
    } catch (const EListError&) {
        fail(SectionsMessage());
        return;
    } catch (const Exception& e) {
        fail(e.Message());
        return;
    }
    layOut();
}

void GeometryView::fail(const QString& message)
{
    // Once: the window is closed and nothing more is read or drawn.
    m_closed = true;
    if (m_message)
        m_message(message);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

void GeometryView::layOut()
{
    // None while the view is empty or has no client area: nothing divides
    // by a zero size and nothing is drawn with coordinates that are not finite.
    m_shown = FitAspect(m_model, width(), height());
    update();
}

void GeometryView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void GeometryView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    takeInitialSize();
}

void GeometryView::takeInitialSize()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (m_sized || !frame)
        return;
    // The frame activates itself as this view is first shown, before this
    // view's show event, and beside a maximised child the workspace then
    // maximises it: a resize here would leave it maximised but small. A
    // maximised (or minimised) frame keeps the workspace's geometry and takes
    // the initial size when it is first restored.
    if (frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        if (!m_restoreWait)
            m_restoreWait = connect(frame, &QMdiSubWindow::windowStateChanged, this, [this] { takeInitialSize(); });
        return;
    }
    m_sized = true;
    disconnect(m_restoreWait);
    // The window's initial size is its frame's. The frame, not the view,
    // keeps the minimum (with its title bar and borders, which a maximised
    // frame has not): the view itself still handles any client area.
    frame->setMinimumSize(frame->minimumSizeHint());
    frame->resize(m_initialSize);
}

void GeometryView::paintEvent(QPaintEvent*)
{
    if (m_closed || !m_shown)
        return;
    QPainter painter(this);
    const ViewSurface surface{width(), height(), logicalDpiX(), logicalDpiY(), false};
    draw(painter, surface, *m_shown, palette().color(QPalette::Base), palette().color(QPalette::Text));
}

void GeometryView::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (m_closed || !m_shown)
        return;
    const QPoint at = event->position().toPoint();
    const std::optional<ModelPoint> p = PixelToModel(*m_shown, width(), height(), at.x(), at.y());
    if (!p)
        return;
    const QChar separator = localeDecimalSeparator();
    setWindowTitle(m_caption + QStringLiteral(" X: ") + FixedOneDecimalText(p->X, separator) + u' ' + m_yName
                   + QStringLiteral(": ") + FixedOneDecimalText(p->Y, separator));
}

void GeometryView::Button1Click()
{
    if (ChoosePrintTarget(m_printer, this, m_fileFolder ? m_fileFolder() : QString()))
        PrintOn(m_printer);
}

bool GeometryView::PrintOn(QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(PrintTitle());
    printer.setFullPage(false);
    bool ok;
    {
        QPainter painter;
        ok = painter.begin(&printer);
        if (ok) {
            // The printable area of the page, in device pixels.
            const ViewSurface page{printer.width(), printer.height(), printer.logicalDpiX(), printer.logicalDpiY(),
                                    true};
            draw(painter, page, m_shown.value_or(m_model), Qt::white, Qt::black);
            ok = painter.end();
        }
    }
    if (!ok || printer.printerState() == QPrinter::Error) {
        const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        if (m_message)
            m_message(QStringLiteral("The profile could not be printed on %1.").arg(where));
        return false;
    }
    return true;
}

void InstallGeometryViews(TMainForm& form)
{
    const auto project = [&form]() -> const TProgramData& { return form.ProgramData(); };
    const auto follow = [&form](GeometryView* view) {
        view->SetMessageHandler([&form, view](const QString& message) { form.Dialogs().Inform(view, message); });
        view->FollowActivations(form.MdiArea());
        view->SetFileFolderSource([&form] { return ProjectFolder(form.ProgramData().FileName); });
        return view;
    };
    form.SetChildFactory(ChildKind::SideView, [=](TMainForm& f) -> QWidget* {
        return follow(new TDlgSideView(f.Tables().D(), f.Tables().PileCoord(), project));
    });
    form.SetChildFactory(ChildKind::TopView, [=](TMainForm& f) -> QWidget* {
        return follow(new TDlgTopView(f.Tables().PileCoord(), project));
    });
}
