#pragma once

// A read-only window on a text file of the project (the project file, the
// report, the run notes), for where no text editor can be started: in a
// fixed-pitch font and without line wrapping, so that the report's columns
// stay aligned, with the file's name in its caption and a Reload.

#include <QString>
#include <QWidget>

#include <functional>

class QByteArray;
class QPlainTextEdit;
class QPushButton;

class TextFileWindow : public QWidget {
    Q_OBJECT

public:
    // Where a file that cannot be read is reported.
    using Reporter = std::function<void(const QString& message)>;

    // Shows nothing until Reload has read the file.
    TextFileWindow(const QString& path, Reporter report, QWidget* parent = nullptr);

    const QString& FilePath() const { return m_path; }
    // Reads the file again, keeping the place shown; a file that cannot be
    // read is reported with its name and the text shown stays. False then.
    bool Reload();

    // The text of a file's bytes, line by line: a line of valid UTF-8 as
    // such, any other line one character per byte (the single-byte code
    // page of older files), so that no byte is dropped or replaced. LF and
    // CR LF end a line.
    static QString DecodeText(const QByteArray& bytes);

    QSize sizeHint() const override;

    QPlainTextEdit* Text;
    QPushButton* ReloadButton;

private:
    QString m_path;
    Reporter m_report;
};
