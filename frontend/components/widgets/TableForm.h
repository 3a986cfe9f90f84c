#pragma once

// The table editor window: a grid over one TGridTable with the columns'
// caption lines (and units) as fixed header rows, the row-group numbers as
// the fixed column, buttons that add, insert and delete row groups, the
// table's comments and its help picture. Every way of leaving the current
// cell goes through CommitCell, which stores the typed text through the
// column's SetText; a refused entry is reported once and the cell stays.
//
// The table's owner hands Factory() to its tables (TGridTable::SetFormFactory);
// TGridTable::ShowForm then opens the window as a sub-window of the owner's
// MDI area, or embedded without border in the table's FormParent.

#include "Table.h"
#include "TableFormGeometry.h"

#include <QPointer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QTableView;
class TableWindowHandle;
class TableGridModel;
class TableGridView;

class TTableForm : public QWidget {
    Q_OBJECT

public:
    // Shows a message with an OK button above parent.
    using Informer = std::function<void(QWidget* parent, const QString& message)>;

    // What the owner of the tables hands to them: each window a sub-window
    // of area (or embedded in the table's FormParent when that is a widget,
    // or a top-level window when there is neither); messages go to inform,
    // an information box when it is empty.
    static TGridTable::WindowFactory Factory(QMdiArea* area, Informer inform = {});
    // The open window of a table, or null.
    static TTableForm* FromTable(const TGridTable& table);
    static TTableForm* FromSubWindow(QMdiSubWindow* window);

    ~TTableForm() override;

    // The edited table; null once the table closed the window or is gone.
    TGridTable* Table() const { return m_table; }
    // The window that frames the form: its MDI sub-window, or the form itself.
    QWidget* Frame() const;

    QTableView* Grid() const;
    QPushButton* BtnAdd() const { return m_btnAdd; }
    QPushButton* BtnIns() const { return m_btnIns; }
    QPushButton* BtnDel() const { return m_btnDel; }
    QLabel* Comments() const { return m_lblComments; }
    QLabel* HelpImage() const { return m_imgHelp; }

    int HeaderRows() const { return m_headerRows; }
    int VisibleCols() const { return m_visibleCols; }
    int VisibleRows() const { return m_visibleRows; }
    int Margin() const;
    // First shown data column and row.
    int LeftColIndex() const;
    int TopRowIndex() const;

    // The grid in its own coordinates: column 0 is the group-number column,
    // rows 0 .. HeaderRows - 1 are the header rows.
    int ColCount() const;
    int RowCount() const;
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    QString Cells(int col, int row) const;
    // The text of the current cell's editor, as if the user typed it.
    void SetEditText(const QString& text);
    QString EditText() const;
    // Moves the current cell as a click does: the cell left is committed
    // first, and a refused entry keeps the current cell. False when the
    // current cell stays.
    bool SelectCell(int col, int row);
    // The Enter key's walk: down, then to the top of the next column, then
    // back to the first data cell.
    void GridKeyPress(int key);

    // Stores the current cell's text when the user changed it, and only then
    // marks the table modified; false (after one message) when the column
    // refuses it.
    bool CommitCell();
    void FillGrid();
    void ArrangeControls();
    void BtnAddClick();
    void BtnInsClick();
    void BtnDelClick();

    // The window metrics the sizes are computed from.
    TableGridMetrics GridMetrics() const;
    TableFrameMetrics FrameMetrics() const;
    // Snaps a proposed window rectangle (the frame's geometry) whose edge
    // is being dragged to whole rows and columns: the grid shows the chosen
    // rows and columns and rect takes the window's size.
    SizeCandidate WMSizing(SizingEdge edge, QRect& rect);

public slots:
    // The main window commits the active child through this slot; false
    // when the current cell's entry was refused.
    bool StoreEdits();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QSize sizeHint() const override { return m_clientSize; }

private:
    friend class TableWindowHandle;
    friend class TableGridView;
    friend class TableGridDelegate;

    TTableForm(TGridTable& table, Informer inform);

    void FormShow();
    void FormClose();
    void FormDeactivate();
    // Every size the window is given other than by an edge drag: it arranges
    // itself once the resize is complete.
    void FormResize();
    // A maximised window shows the rows and columns its size holds; back in
    // its own size it shows those it showed before.
    void fitToFrame();
    void GridExit();
    void RefreshCell(int columnIndex, int row);
    void RowsChanged();
    bool GridSelectCell(int col, int row);
    // Moves the current cell without asking.
    void setCurrent(int col, int row);
    void openEditor();
    void rewriteDataCells();
    void updateButtons();
    void loadHelpPicture();
    void placeColumnEditors();
    void setTopLeft(int leftCol, int topRow);
    // The bars' ranges and values as the form shows them, the headers, cells
    // and editors in line with them.
    void keepScrollPosition(int leftCol, int topRow);
    void resizeFrame(SizingEdge anchor);
    void inform(const QString& message);
    void detachFromTable();
    void rememberPlace();
    bool isTableRow(int row) const;
    // A key that moves the current cell (or leaves the grid); true when taken.
    bool handleKey(QKeyEvent* key);

    TGridTable* m_table;
    TableWindowHandle* m_handle = nullptr;
    Informer m_inform;
    QPointer<QMdiSubWindow> m_frame;
    const QObject* m_frameObject = nullptr; // compared only: events may come while it goes
    QPointer<QMdiArea> m_area;
    std::shared_ptr<std::map<const TGridTable*, QPoint>> m_places;

    TableGridView* m_grid = nullptr;
    TableGridModel* m_model = nullptr;
    QPushButton* m_btnAdd = nullptr;
    QPushButton* m_btnIns = nullptr;
    QPushButton* m_btnDel = nullptr;
    QLabel* m_lblComments = nullptr;
    QLabel* m_imgHelp = nullptr;
    std::map<const TColumn*, std::vector<QPointer<QWidget>>> m_editorWidgets;

    int m_headerRows = 0;
    int m_visibleCols = 0;
    int m_visibleRows = 0;
    int m_col = 1;
    int m_row = 0;
    QSize m_clientSize{400, 300};
    QRect m_lastFrameGeometry;
    SizingEdge m_anchor = SizingEdge::None; // the side a drag moves; the other one stays

    bool m_shown = false;
    bool m_informing = false; // a message is up: nothing commits again
    bool m_moving = false;    // the form itself moves the editor
    bool m_arranging = false;
    bool m_active = false;
    bool m_closing = false;
    bool m_refillHeld = false;
    bool m_resizePending = false;
    // The shown columns and rows of the window's own size while it is maximised.
    std::optional<QSize> m_ownCounts;
    // The cell and text last refused (column 0: none); within the action
    // that refused them (m_refusalPending) StoreEdits refuses them again
    // without a message.
    int m_refusedCol = 0;
    int m_refusedRow = 0;
    QString m_refusedText;
    bool m_refusalPending = false;
};
