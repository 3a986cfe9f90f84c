#pragma once

// "Save Attributes": the size of a saved bitmap in inches and its pixels per
// inch. OK checks all three fields, refuses a bitmap of more than 10000
// pixels on a side and sizes the bitmap the caller handed over; when that
// bitmap cannot be made the dialog ends with AbortResult.

#include <QDialog>

#include <functional>

class QImage;
class QLabel;
class QPushButton;
class QRadioButton;
class TDataEdit;

class TdlgFormat : public QDialog {
    Q_OBJECT

public:
    // The dialog's result when the bitmap ran out of memory.
    static constexpr int AbortResult = 3;

    // The caller keeps ownership of bitmap.
    explicit TdlgFormat(QImage* bitmap, QWidget* parent = nullptr);

    TDataEdit* deHeight = nullptr;
    TDataEdit* deWidth = nullptr;
    TDataEdit* dePPI = nullptr;
    QRadioButton* rbBW = nullptr;
    QRadioButton* rb16 = nullptr;
    QRadioButton* rb256 = nullptr;
    QRadioButton* rbHigh = nullptr;
    QRadioButton* rbTrue = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // Where the dialog's and its fields' messages go; an information box
    // unless replaced.
    using MessageHandler = std::function<void(const QString& message)>;
    void SetMessageHandler(MessageHandler handler);

    // Message for a bitmap larger than the limit.
    static QString TooLargeMessage();

private slots:
    void btnOKClick();

private:
    QImage* m_bitmap;
    MessageHandler m_message;
};
