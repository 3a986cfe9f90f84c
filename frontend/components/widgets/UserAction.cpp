#include "UserAction.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

void CallWhenUserActionEnds(QObject* context, std::function<void()> done)
{
    QTimer::singleShot(0, context, [context, done = std::move(done)]() mutable {
        // A menu chosen from runs its command after it has closed.
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            QObject::connect(
                menu, &QMenu::aboutToHide, context,
                [context, done = std::move(done)]() mutable { CallWhenUserActionEnds(context, std::move(done)); },
                Qt::SingleShotConnection);
            return;
        }
        done();
    });
}
