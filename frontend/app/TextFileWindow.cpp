#include "TextFileWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStringDecoder>
#include <QVBoxLayout>

TextFileWindow::TextFileWindow(const QString& path, Reporter report, QWidget* parent)
    : QWidget(parent), m_path(QFileInfo(path).absoluteFilePath()), m_report(std::move(report))
{
    setWindowTitle(QFileInfo(m_path).fileName());
    setMinimumSize(240, 160);
    Text = new QPlainTextEdit(this);
    Text->setObjectName(QStringLiteral("FileText"));
    Text->setReadOnly(true);
    Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ReloadButton = new QPushButton(QStringLiteral("&Reload"), this);
    ReloadButton->setToolTip(QStringLiteral("Reads %1 again (F5)").arg(QDir::toNativeSeparators(m_path)));
    connect(ReloadButton, &QPushButton::clicked, this, &TextFileWindow::Reload);
    // F5 in this window only: each open file window has its own.
    auto* reload = new QShortcut(QKeySequence::Refresh, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(reload, &QShortcut::activated, this, &TextFileWindow::Reload);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ReloadButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Text);
}

QString TextFileWindow::DecodeText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool last = end < 0;
        if (last)
            end = bytes.size();
        qsizetype stop = end;
        if (!last && stop > start && bytes[stop - 1] == '\r')
            --stop;
        const QByteArray line = bytes.mid(start, stop - start);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(line);
        text += utf8.hasError() ? QString::fromLatin1(line) : decoded;
        if (last)
            break;
        text += u'\n';
        start = end + 1;
    }
    return text;
}

bool TextFileWindow::Reload()
{
    QFile file(m_path);
    QByteArray bytes;
    bool read = file.open(QIODevice::ReadOnly);
    if (read) {
        bytes = file.readAll();
        read = file.error() == QFileDevice::NoError;
    }
    if (!read) {
        if (m_report)
            m_report(QStringLiteral("The file %1 could not be read: %2.")
                         .arg(QDir::toNativeSeparators(m_path), file.errorString()));
        return false;
    }
    const int vertical = Text->verticalScrollBar()->value();
    const int horizontal = Text->horizontalScrollBar()->value();
    Text->setPlainText(DecodeText(bytes));
    Text->verticalScrollBar()->setValue(vertical);
    Text->horizontalScrollBar()->setValue(horizontal);
    return true;
}

QSize TextFileWindow::sizeHint() const
{
    // Some 90 columns and 30 lines of the fixed-pitch font.
    const QFontMetrics metrics(Text->font());
    return QSize(metrics.horizontalAdvance(QString(90, u'0')) + 40, metrics.lineSpacing() * 30 + 60);
}
