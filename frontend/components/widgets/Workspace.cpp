#include "Workspace.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QStyle>
#include <QWindowStateChangeEvent>

#include <algorithm>

namespace {

const QKeySequence kCloseChild(Qt::CTRL | Qt::Key_F4);
const QKeySequence kNextChild(Qt::CTRL | Qt::Key_F6);

// The frame of a child without a maximise button. The workspace maximises
// the child that it makes active while another is maximised (after
// restoring that one), or when a maximised one closes; the child is not yet
// the workspace's active one then. This frame refuses that; it has no
// button, menu item or key that maximises it.
class OwnSizeFrame : public QMdiSubWindow {
public:
    OwnSizeFrame()
        : QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                     | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                     | Qt::WindowCloseButtonHint)
    {
    }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange) {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            const bool maximising = (windowState() & Qt::WindowMaximized) && !(change->oldState() & Qt::WindowMaximized);
            if (!change->isOverride() && maximising && mdiArea() && mdiArea()->activeSubWindow() != this) {
                overrideWindowState(change->oldState());
                return;
            }
        }
        QMdiSubWindow::changeEvent(event);
    }
};

// The frame of a FixedSize child keeps the size of its contents, except
// while it is minimised: its contents are hidden then and it would shrink
// to a sliver of frame instead of a title bar.
void followContents(QMdiSubWindow* sub, bool follow)
{
    QLayout* layout = sub->layout();
    if (!layout)
        return;
    if (follow) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
        return;
    }
    layout->setSizeConstraint(QLayout::SetDefaultConstraint);
    sub->setMinimumSize(0, 0);
    sub->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    sub->resize(sub->minimumSizeHint());
}

} // namespace

QMdiSubWindow* AddChildWindow(QMdiArea& area, QWidget* child, ChildFrame frame)
{
    QMdiSubWindow* sub = frame == ChildFrame::Sizable ? new QMdiSubWindow : new OwnSizeFrame;
    sub->setWidget(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Ctrl+F4 is the workspace's (InstallChildWindowKeys), whatever the
    // desktop gives the frame's own Close: the same key in both would do
    // nothing.
    for (QAction* command : sub->actions()) {
        QList<QKeySequence> keys = command->shortcuts();
        if (keys.removeAll(kCloseChild) > 0)
            command->setShortcuts(keys);
    }
    if (frame == ChildFrame::FixedSize) {
        followContents(sub, true);
        // Connected before the workspace's own handler, which lines up the
        // minimised children by their size.
        QObject::connect(sub, &QMdiSubWindow::windowStateChanged, sub,
                         [sub](Qt::WindowStates before, Qt::WindowStates now) {
                             const bool minimised = now & Qt::WindowMinimized;
                             if (minimised != bool(before & Qt::WindowMinimized))
                                 followContents(sub, !minimised);
                         });
    }
    area.addSubWindow(sub);
    return sub;
}

void ArrangeIcons(QMdiArea& area)
{
    // The workspace lines the icons up itself when a child is minimised or
    // restored and when it is resized, but offers no command for it. Its own
    // rows take every icon to be the size of the first; these take each
    // icon's size, the tallest in a row setting the row's height.
    const QRect domain = area.viewport()->rect();
    int x = 0;
    int rowBottom = domain.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* icon : area.subWindowList(area.activationOrder())) {
        if (!icon->isVisible() || !icon->isMinimized() || icon->isShaded())
            continue;
        const QSize size = icon->size();
        if (x > 0 && x + size.width() > domain.width()) {
            rowBottom -= rowHeight;
            x = 0;
            rowHeight = 0;
        }
        const QRect place(QPoint(x, rowBottom - size.height()), size);
        icon->setGeometry(QStyle::visualRect(icon->layoutDirection(), domain, place));
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

void InstallChildWindowKeys(QMdiArea& area)
{
    // Ctrl+Tab is the workspace's own already.
    QMdiArea* workspace = &area;
    auto* close = new QShortcut(kCloseChild, workspace);
    QObject::connect(close, &QShortcut::activated, workspace, [workspace] {
        if (QMdiSubWindow* active = workspace->currentSubWindow())
            active->close();
    });
    auto* next = new QShortcut(kNextChild, workspace);
    QObject::connect(next, &QShortcut::activated, workspace, &QMdiArea::activateNextSubWindow);
}
