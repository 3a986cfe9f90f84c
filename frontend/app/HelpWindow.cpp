#include "HelpWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

const QString HelpWindow::PageName = QStringLiteral("KELDORHELP.html");

HelpWindow::HelpWindow(const QString& page, QWidget* parent) : QWidget(parent)
{
    setMinimumSize(320, 200);
    BackButton = new QPushButton(QStringLiteral("&Back"), this);
    BackButton->setEnabled(false);
    auto* findLabel = new QLabel(QStringLiteral("&Find:"), this);
    FindField = new QLineEdit(this);
    FindField->setObjectName(QStringLiteral("FindField"));
    FindField->setClearButtonEnabled(true);
    findLabel->setBuddy(FindField);
    FindStatus = new QLabel(this);
    Browser = new QTextBrowser(this);
    // Links to other sites go to the desktop's browser; links within the page stay here.
    Browser->setOpenExternalLinks(true);

    auto* bar = new QHBoxLayout;
    bar->addWidget(BackButton);
    bar->addStretch();
    bar->addWidget(findLabel);
    bar->addWidget(FindField);
    bar->addWidget(FindStatus);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(Browser);

    connect(BackButton, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(Browser, &QTextBrowser::backwardAvailable, BackButton, &QPushButton::setEnabled);
    connect(Browser, &QTextBrowser::sourceChanged, this, &HelpWindow::showTitle);
    connect(FindField, &QLineEdit::textChanged, FindStatus, &QLabel::clear);
    FindField->installEventFilter(this);
    auto* find = new QShortcut(QKeySequence::Find, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        FindField->setFocus(Qt::ShortcutFocusReason);
        FindField->selectAll();
    });

    Browser->setSource(QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()));
    showTitle();
}

QStringList HelpWindow::PageLocations(const QString& programDir)
{
    const QDir dir(programDir);
    return {QDir::cleanPath(dir.filePath(PageName)),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share/doc/keldor/") + PageName))};
}

bool HelpWindow::FindNext(bool backward)
{
    const QString text = FindField->text();
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool found = Browser->find(text, flags);
    if (!found) {
        // Round again from the other end of the page.
        QTextCursor cursor = Browser->textCursor();
        cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        Browser->setTextCursor(cursor);
        found = Browser->find(text, flags);
    }
    FindStatus->setText(found ? QString() : QStringLiteral("Not found"));
    return found;
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FindField && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            FindNext(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::showTitle()
{
    const QString title = Browser->documentTitle();
    setWindowTitle(title.isEmpty() ? PageName : title);
}

QSize HelpWindow::sizeHint() const
{
    return QSize(760, 560);
}
