#pragma once

// What the side view and the top view have in common as windows: a child
// of the main window that rebuilds its drawing from the current tables and
// project on every activation, fits it to its client area with equal scales
// on both axes, shows the position under the mouse in its caption and
// prints on one landscape page. It never writes to the project.

#include "Main.h"
#include "ViewGeometry.h"

#include <QPrinter>
#include <QWidget>

#include <functional>
#include <optional>

class QColor;
class QMdiArea;
class QPainter;
class QPushButton;

class GeometryView : public QWidget, public ChildWindow {
    Q_OBJECT

public:
    ~GeometryView() override;

    // Where messages go; an information box unless replaced.
    using MessageHandler = std::function<void(const QString& message)>;
    void SetMessageHandler(MessageHandler handler) { m_message = std::move(handler); }
    // The folder the Print command's file dialog (a PDF file where no
    // printer is installed) starts in, asked for each time: the project's.
    // Without one, or when it answers empty, the dialog's own start.
    using FolderSource = std::function<QString()>;
    void SetFileFolderSource(FolderSource source) { m_fileFolder = std::move(source); }

    // Every activation of this view's sub-window in `area` rebuilds it, once
    // the activation has been handled (the window left has stored its edits).
    void FollowActivations(QMdiArea* area);

    // Rebuilds the drawing from the tables and the project, then lays it out
    // and paints it. An error while reading the tables is shown once and
    // closes the window.
    void FormActivate();
    // Prints one landscape page titled "Soil-Pile Profile"; a failure is
    // shown and answers false.
    bool PrintOn(QPrinter& printer);

    const ViewBounds& ModelBounds() const { return m_model; }
    // The model bounds fitted to the client area; none while the view is
    // empty or the client area has no width or height.
    const std::optional<ViewBounds>& ShownBounds() const { return m_shown; }
    QPushButton* PrintButton() const { return m_button; }
    QPrinter& Printer() { return m_printer; }
    bool Closed() const { return m_closed; }

    // The view keeps no edits of its own.
    bool StoreEdits() override { return true; }
    void Reload() override { FormActivate(); }

    static QString PrintTitle(); // "Soil-Pile Profile"
    static QString SectionsMessage(); // "One or more Pile Types does not have any sections"

public slots:
    void Button1Click();

protected:
    // caption: the window's own caption ("Side View"); yName: the name of the
    // vertical read-out ("Depth", "Y"); initial: the model bounds at creation.
    GeometryView(const QString& caption, const QString& yName, QSize initialSize, QRect button,
                  const ViewBounds& initial, QWidget* parent);

    // Reads the tables and the project and keeps what is to be drawn; the
    // new model bounds, or `previous` when there is nothing to measure.
    // Throws the tables' exceptions; nothing is kept then.
    virtual ViewBounds rebuild(const ViewBounds& previous) = 0;
    // The drawing routine over `shown` on `surface`.
    virtual void draw(QPainter& painter, const ViewSurface& surface, const ViewBounds& shown, const QColor& window,
                      const QColor& windowText) const = 0;

    // The initial size without the frame; the minimum (its frame's) keeps
    // the Print button and some of the drawing in view.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The frame takes the initial size once, the first time it is shown
    // neither maximised nor minimised.
    void takeInitialSize();
    void layOut();
    void fail(const QString& message);

    QString m_caption;
    QString m_yName;
    QSize m_initialSize;
    bool m_sized = false;
    QMetaObject::Connection m_restoreWait;
    bool m_closed = false;
    bool m_rebuildPending = false;
    ViewBounds m_model;
    std::optional<ViewBounds> m_shown;
    QPushButton* m_button = nullptr;
    QPrinter m_printer{QPrinter::HighResolution};
    MessageHandler m_message;
    FolderSource m_fileFolder;
};

// Installs the side-view and top-view windows as the main window's
// View Geometry children.
void InstallGeometryViews(TMainForm& form);
