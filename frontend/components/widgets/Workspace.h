#pragma once

// The rules of the multiple-document workspace for its child windows, in
// the one place where every child enters it: the buttons of a child's frame
// and the states it may take, and the workspace's keyboard conventions.

class QMdiArea;
class QMdiSubWindow;
class QWidget;

enum class ChildFrame {
    // Resizable, with minimise and maximise buttons; it opens maximised
    // while the active child is (plots, views, help and text windows).
    Sizable,
    // Minimise but no maximise: shown at its own size with its frame,
    // whatever state the other children are in (the table windows, which
    // size themselves).
    OwnSize,
    // As OwnSize, and the frame keeps the size of its contents (the data
    // dialogs and Control Options).
    FixedSize,
};

// Adds child to area in a frame with the buttons and states of its kind;
// the frame is deleted when it closes. The frame.
QMdiSubWindow* AddChildWindow(QMdiArea& area, QWidget* child, ChildFrame frame);

// Lays the icons of the minimised children in rows from the bottom left of
// the visible workspace, in the workspace's order of its children: a row
// holds as many as fit its width (at least one), the next row lies on top of
// it. Icons of equal size lie where the workspace puts them itself when a
// child is minimised.
void ArrangeIcons(QMdiArea& area);

// Ctrl+F4 closes the active child and Ctrl+F6 activates the next one, as
// Ctrl+Tab does.
void InstallChildWindowKeys(QMdiArea& area);
