#include "Title.h"

#include "DataUnit.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QTextCursor>

SingleLineMemo::SingleLineMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(this, &QPlainTextEdit::textChanged, this, &SingleLineMemo::enforce);
}

void SingleLineMemo::Load(const QString& title)
{
    m_enforcing = true;
    setPlainText(SingleLineTitle(title));
    m_enforcing = false;
    m_accepted = toPlainText();
}

int SingleLineMemo::Length(const QString& text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++n)
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    return n;
}

QString SingleLineMemo::Left(const QString& text, int count)
{
    qsizetype i = 0;
    for (int n = 0; n < count && i < text.size(); ++n)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    return text.left(i);
}

void SingleLineMemo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // no line break, no default button
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && !typed[0].isNull() && typed[0].category() != QChar::Other_Control
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        insertLimited(typed);
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool SingleLineMemo::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void SingleLineMemo::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText())
        insertLimited(source->text());
}

void SingleLineMemo::insertLimited(const QString& text)
{
    QTextCursor cursor = textCursor();
    const int kept = Length(toPlainText()) - Length(cursor.selectedText());
    const QString line = Left(SingleLineTitle(text), std::max(0, MaxLength - kept));
    if (line.isEmpty() && !cursor.hasSelection())
        return;
    cursor.insertText(line);
    setTextCursor(cursor);
}

void SingleLineMemo::enforce()
{
    if (m_enforcing)
        return;
    const QString text = toPlainText();
    QString line = SingleLineTitle(text);
    // A loaded title longer than the limit stays as it is; it may only shrink.
    if (Length(line) > MaxLength && Length(line) > Length(m_accepted))
        line = Length(m_accepted) > MaxLength ? m_accepted : Left(line, MaxLength);
    if (line != text) {
        m_enforcing = true;
        const int position = std::min(textCursor().position(), static_cast<int>(line.size()));
        setPlainText(line);
        QTextCursor cursor = textCursor();
        cursor.setPosition(position);
        setTextCursor(cursor);
        m_enforcing = false;
    }
    m_accepted = line;
}

TdlgTitle::TdlgTitle(TMainForm& form) : DataDialog(form, QStringLiteral("Project Title"))
{
    auto* label = new QLabel(QStringLiteral("Enter text line for project description:"), this);
    TitleMemo = new SingleLineMemo(this);
    TitleMemo->setObjectName(QStringLiteral("TitleMemo"));
    TitleMemo->setFixedSize(360, 64);
    grid()->addWidget(label, 0, 0);
    grid()->addWidget(TitleMemo, 1, 0);
    FormActivate();
}

void TdlgTitle::FormActivate()
{
    TitleMemo->Load(Form().ProgramData().Title);
    m_shown = TitleMemo->toPlainText();
}

bool TdlgTitle::FormDeactivate()
{
    const QString text = TitleMemo->toPlainText();
    if (text == m_shown)
        return true;
    m_shown = text;
    const QString title = SingleLineTitle(text);
    TProgramData& data = Form().ProgramData();
    if (title != data.Title) {
        data.Title = title;
        Form().SetModified(true);
    }
    return true;
}
