#include "TableForm.h"

#include "ColumnTypes.h"
#include "Evaluator.h"
#include "Misc.h"
#include "UserAction.h"
#include "Workspace.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <utility>

// ---------------------------------------------------------------- the grid

// The texts of the grid's data cells (what the user typed where he typed),
// the header block (caption lines) and the group numbers. Each data cell
// also keeps the text the window put there, so that a cell the user left
// alone is never stored back: its text is rounded to 8 digits, the value
// behind it is not.
class TableGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_cols; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return text(index.column(), index.row());
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        setText(index.column(), index.row(), value.toString());
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!m_controls.value(index.column()))
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(orientation == Qt::Horizontal ? Qt::AlignLeft | Qt::AlignVCenter
                                                                     : Qt::AlignLeft | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal)
            return m_captions.value(section);
        return m_groups.value(section);
    }

    void reset(int cols, int rows, const QStringList& captions, const QStringList& groups, const QVector<bool>& controls)
    {
        beginResetModel();
        m_cols = cols;
        m_rows = rows;
        m_captions = captions;
        m_groups = groups;
        m_controls = controls;
        m_texts.assign(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows), QString());
        m_loaded = m_texts;
        endResetModel();
    }

    QString text(int col, int row) const
    {
        if (!inside(col, row))
            return {};
        return m_texts[at(col, row)];
    }

    // What the user typed, without telling the view.
    void store(int col, int row, const QString& t)
    {
        if (inside(col, row))
            m_texts[at(col, row)] = t;
    }

    // The window's text of a cell (a value shown), without telling the view
    // (setText) or with one notice for a block (changed).
    void load(int col, int row, const QString& t)
    {
        if (!inside(col, row))
            return;
        m_texts[at(col, row)] = t;
        m_loaded[at(col, row)] = t;
    }

    void setText(int col, int row, const QString& t)
    {
        load(col, row, t);
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i);
    }

    // The cell's text differs from the one the window put there. Typing the
    // shown text again counts as no change.
    bool edited(int col, int row) const { return inside(col, row) && m_texts[at(col, row)] != m_loaded[at(col, row)]; }
    // The cell's text was stored: it is the cell's own text from now on.
    void accept(int col, int row)
    {
        if (inside(col, row))
            m_loaded[at(col, row)] = m_texts[at(col, row)];
    }

    void changed(int firstCol, int lastCol)
    {
        if (m_rows > 0 && firstCol <= lastCol)
            emit dataChanged(index(0, firstCol), index(m_rows - 1, lastCol));
    }

private:
    bool inside(int col, int row) const { return col >= 0 && col < m_cols && row >= 0 && row < m_rows; }
    std::size_t at(int col, int row) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_cols) + static_cast<std::size_t>(col);
    }

    int m_cols = 0;
    int m_rows = 0;
    QStringList m_captions;
    QStringList m_groups;
    QVector<bool> m_controls;
    std::vector<QString> m_texts;
    std::vector<QString> m_loaded;
};

// Clicks and keys that move the current cell ask the form first.
class TableGridView : public QTableView {
public:
    TableGridView(TTableForm* form, QWidget* parent) : QTableView(parent), m_form(form) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const QModelIndex target = indexAt(event->position().toPoint());
        if (target.isValid()) {
            m_form->SelectCell(target.column() + 1, target.row() + m_form->HeaderRows());
            event->accept();
            return;
        }
        QTableView::mousePressEvent(event);
    }

    // The grid's focus goes on to the current cell's editor.
    void focusInEvent(QFocusEvent* event) override
    {
        QTableView::focusInEvent(event);
        m_form->openEditor();
    }

    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); } // no drag selection
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_form->handleKey(event))
            return;
        QTableView::keyPressEvent(event);
    }

    // The view sets its bars' ranges from the columns that fit its viewport
    // from the end; the form's ranges (its shown rows and columns) and the
    // first shown row and column stay.
    void updateGeometries() override
    {
        const int left = horizontalScrollBar()->value();
        const int top = verticalScrollBar()->value();
        const bool arranging = std::exchange(m_form->m_arranging, true);
        QTableView::updateGeometries();
        m_form->m_arranging = arranging;
        m_form->keepScrollPosition(left, top);
    }

private:
    friend class TTableForm;
    TTableForm* m_form;
};

// The editor of the current cell, always shown: keys that leave the cell go
// to the form, the text goes into the grid cell as it is typed.
class TableGridDelegate : public QStyledItemDelegate {
public:
    TableGridDelegate(TTableForm* form, QObject* parent) : QStyledItemDelegate(parent), m_form(form) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setObjectName(QStringLiteral("CellEditor"));
        const int col = index.column();
        const int row = index.row();
        QObject::connect(editor, &QLineEdit::textEdited, m_form, [form = m_form, col, row](const QString& text) {
            form->m_model->store(col, row, text);
        });
        return editor;
    }

    // A value the window puts in the cell shows from its start.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text) {
            line->setText(text);
            line->setCursorPosition(0);
        }
    }

    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {} // stored as typed

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            auto* line = qobject_cast<QLineEdit*>(watched);
            if (key->key() == Qt::Key_Left && line && (line->cursorPosition() > 0 && !line->hasSelectedText()))
                return false;
            if (key->key() == Qt::Key_Right && line
                && (line->cursorPosition() < line->text().size() && !line->hasSelectedText()))
                return false;
            if (key->key() == Qt::Key_Home || key->key() == Qt::Key_End) {
                if (!(key->modifiers() & Qt::ControlModifier))
                    return false;
            }
            return m_form->handleKey(key);
        }
        if (event->type() == QEvent::FocusOut) {
            // Left for another control or window (not for a menu or a box
            // over this one): the text shows from its start.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (auto* line = qobject_cast<QLineEdit*>(watched);
                line && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                line->setCursorPosition(0);
            m_form->GridExit();
            return false;
        }
        return false;
    }

private:
    TTableForm* m_form;
};

// ------------------------------------------------------------ the hook

// What the table holds of its window: it frees the window with itself,
// and forwards the table's calls.
class TableWindowHandle : public TableWindowHook {
public:
    TableWindowHandle(TTableForm* form, QWidget* frame) : m_form(form), m_frame(frame) { form->m_handle = this; }

    ~TableWindowHandle() override
    {
        if (!m_frame)
            return;
        if (m_form) {
            m_form->rememberPlace();
            m_form->m_handle = nullptr;
            m_form->m_table = nullptr;
        }
        delete m_frame.data();
    }

    // The window goes on its own; the handle must not free it.
    void Disown() { m_frame = nullptr; }

    void ShowWindow() override
    {
        if (!m_form)
            return;
        if (!m_form->m_shown)
            m_form->FormShow();
        m_frame->show();
        m_frame->raise();
        if (m_form->m_frame && m_form->m_area)
            m_form->m_area->setActiveSubWindow(m_form->m_frame);
        m_form->m_grid->setFocus();
    }
    int FirstShownRow() const override { return m_form ? m_form->TopRowIndex() : 0; }
    int VisibleRows() const override { return m_form ? m_form->m_visibleRows : 0; }
    void SetCurrentCell(int gridColumn, int gridRow) override
    {
        if (m_form)
            m_form->SelectCell(gridColumn, gridRow);
    }
    void SetTitle(const QString& title) override
    {
        if (m_frame)
            m_frame->setWindowTitle(title);
    }
    void TableDestroyed() override
    {
        if (m_form)
            m_form->m_table = nullptr;
    }
    void HelpPictureChanged() override
    {
        if (m_form && m_form->m_shown) {
            m_form->loadHelpPicture();
            m_form->ArrangeControls();
        }
    }

    TTableForm* Form() const { return m_form; }

private:
    QPointer<TTableForm> m_form;
    QPointer<QWidget> m_frame;
};

namespace {

class WidgetCanvas : public CanvasMetrics {
public:
    explicit WidgetCanvas(const QWidget* widget) : m_widget(widget) {}
    int TextWidth(const QString& text) const override { return m_widget->fontMetrics().horizontalAdvance(text); }
    int PixelsPerInch() const override { return m_widget->logicalDpiX(); }

private:
    const QWidget* m_widget;
};

// Pixels at the screen's resolution of a size laid out at 96 pixels per inch.
int scaled(const QWidget* w, int pixelsAt96)
{
    return (pixelsAt96 * w->logicalDpiY() + 48) / 96;
}

} // namespace

// ---------------------------------------------------------------- factory

TGridTable::WindowFactory TTableForm::Factory(QMdiArea* area, Informer inform)
{
    QPointer<QMdiArea> guarded(area);
    // A table's window opens again where it was last (after a change of units, say).
    auto places = std::make_shared<std::map<const TGridTable*, QPoint>>();
    return [guarded, inform, places](TGridTable& table) -> std::unique_ptr<TableWindowHook> {
        auto* form = new TTableForm(table, inform);
        form->m_places = places;
        QWidget* frame = form;
        auto* parent = qobject_cast<QWidget*>(table.FormParent);
        if (parent && parent != guarded.data() && !qobject_cast<QMdiArea*>(parent)) {
            // Embedded without border at the parent's top left.
            form->setParent(parent);
            form->move(0, 0);
        } else if (guarded) {
            QMdiSubWindow* sub = AddChildWindow(*guarded, form, ChildFrame::OwnSize);
            form->m_frame = sub;
            form->m_frameObject = sub;
            form->m_area = guarded;
            if (const auto place = places->find(&table); place != places->end())
                sub->move(place->second);
            frame = sub;
            sub->installEventFilter(form);
            QObject::connect(guarded.data(), &QMdiArea::subWindowActivated, form, [form](QMdiSubWindow* w) {
                if (w == form->m_frame) {
                    form->m_active = true;
                } else if (form->m_active) {
                    form->m_active = false;
                    form->FormDeactivate();
                }
            });
        }
        if (frame == form)
            form->setAttribute(Qt::WA_DeleteOnClose);
        return std::make_unique<TableWindowHandle>(form, frame);
    };
}

TTableForm* TTableForm::FromTable(const TGridTable& table)
{
    auto* handle = dynamic_cast<TableWindowHandle*>(table.Form());
    return handle ? handle->Form() : nullptr;
}

TTableForm* TTableForm::FromSubWindow(QMdiSubWindow* window)
{
    return window ? qobject_cast<TTableForm*>(window->widget()) : nullptr;
}

// ---------------------------------------------------------------- window

TTableForm::TTableForm(TGridTable& table, Informer inform)
    : QWidget(nullptr), m_table(&table), m_inform(std::move(inform))
{
    setWindowTitle(QStringLiteral("TableForm"));
    setObjectName(QStringLiteral("TableForm"));

    m_grid = new TableGridView(this, this);
    m_model = new TableGridModel(m_grid);
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(new TableGridDelegate(this, m_grid));
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->setCornerButtonEnabled(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setSectionsClickable(false);
    m_grid->verticalHeader()->setHighlightSections(false);
    m_grid->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->horizontalHeader()->setMinimumSectionSize(1);
    // The top-left cell's text, painted over the corner.
    if (auto* corner = m_grid->findChild<QAbstractButton*>())
        corner->installEventFilter(this);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_arranging)
            placeColumnEditors();
    });
    // Other columns in view: the window takes their widths.
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_arranging)
            ArrangeControls();
    });

    // Clicks do not take the focus from the grid: each button commits the
    // current cell itself, Tab still reaches them.
    m_btnAdd = new QPushButton(QStringLiteral("&Add Row"), this);
    m_btnIns = new QPushButton(QStringLiteral("&Insert Row"), this);
    m_btnDel = new QPushButton(QStringLiteral("&Delete Row"), this);
    for (QPushButton* b : {m_btnAdd, m_btnIns, m_btnDel}) {
        b->setFocusPolicy(Qt::TabFocus);
        b->resize(scaled(this, 81), scaled(this, 21));
    }
    setTabOrder(m_btnDel, m_btnAdd);
    setTabOrder(m_btnAdd, m_btnIns);
    setTabOrder(m_btnIns, m_grid);
    const auto wire = [this](QPushButton* button, void (TTableForm::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] {
            if (!CommitCell())
                return;
            try {
                (this->*handler)();
            } catch (const Exception& e) {
                this->inform(e.Message());
            }
        });
    };
    wire(m_btnAdd, &TTableForm::BtnAddClick);
    wire(m_btnIns, &TTableForm::BtnInsClick);
    wire(m_btnDel, &TTableForm::BtnDelClick);

    m_lblComments = new QLabel(this);
    m_imgHelp = new QLabel(this);
    m_imgHelp->resize(0, 0);
}

TTableForm::~TTableForm()
{
    detachFromTable();
}

void TTableForm::detachFromTable()
{
    if (m_handle)
        m_handle->Disown();
    TGridTable* table = m_table;
    m_table = nullptr;
    m_handle = nullptr;
    if (table)
        table->FormClosed();
}

QWidget* TTableForm::Frame() const
{
    return m_frame ? static_cast<QWidget*>(m_frame.data()) : const_cast<TTableForm*>(this);
}

QTableView* TTableForm::Grid() const
{
    return m_grid;
}

int TTableForm::Margin() const
{
    return logicalDpiX() / 20;
}

int TTableForm::LeftColIndex() const
{
    return m_grid->horizontalScrollBar()->value();
}

int TTableForm::TopRowIndex() const
{
    return m_grid->verticalScrollBar()->value();
}

int TTableForm::ColCount() const
{
    return m_model->columnCount() + 1;
}

int TTableForm::RowCount() const
{
    return m_model->rowCount() + m_headerRows;
}

QString TTableForm::Cells(int col, int row) const
{
    if (col == 0) {
        if (row < m_headerRows)
            return row == 0 && m_table ? m_table->TopLeft : QString();
        return m_model->headerData(row - m_headerRows, Qt::Vertical, Qt::DisplayRole).toString();
    }
    if (row < m_headerRows) {
        const QStringList lines = m_model->headerData(col - 1, Qt::Horizontal, Qt::DisplayRole).toString().split(u'\n');
        return lines.value(row);
    }
    return m_model->text(col - 1, row - m_headerRows);
}

void TTableForm::SetEditText(const QString& text)
{
    m_model->store(m_col - 1, m_row - m_headerRows, text);
    if (auto* editor = qobject_cast<QLineEdit*>(m_grid->indexWidget(m_model->index(m_row - m_headerRows, m_col - 1))))
        editor->setText(text);
}

QString TTableForm::EditText() const
{
    return m_model->text(m_col - 1, m_row - m_headerRows);
}

bool TTableForm::isTableRow(int row) const
{
    return m_table && row >= 0 && row < m_table->RowCount();
}

void TTableForm::inform(const QString& message)
{
    m_informing = true;
    QPointer<TTableForm> self(this);
    if (m_inform) {
        m_inform(this, message);
    } else {
        QString text = message;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        QMessageBox::information(this, QCoreApplication::applicationName(), text, QMessageBox::Ok);
    }
    if (!self)
        return;
    m_informing = false;
    m_grid->setFocus();
    openEditor();
}

// ---------------------------------------------------------------- show, fill, arrange

void TTableForm::FormShow()
{
    m_shown = true;
    TGridTable& t = *m_table;
    t.SetRowCount(std::max(t.RowCount(), t.MinRows()));
    Frame()->setWindowTitle(t.Caption + QStringLiteral(" ") + t.FullNumber());
    m_grid->move(Margin(), Margin());
    m_lblComments->setText(t.Comments);
    m_lblComments->adjustSize();
    m_lblComments->setVisible(!t.Comments.isEmpty());
    loadHelpPicture();
    m_visibleCols = t.VisibleColumnCount();
    m_visibleRows = std::min(t.RowCount(), 10);
    m_headerRows = t.HeaderRowCount();
    m_col = 1;
    m_row = m_headerRows;
    t.AttachForm(
        m_handle, [this] { RowsChanged(); }, [this](int col, int row) { RefreshCell(col, row); });
    FillGrid();
}

void TTableForm::loadHelpPicture()
{
    QPixmap picture;
    if (m_table && !m_table->HelpPicture().isEmpty())
        picture.loadFromData(m_table->HelpPicture());
    m_imgHelp->setPixmap(picture);
    m_imgHelp->resize(picture.isNull() ? QSize(0, 0) : picture.size());
    m_imgHelp->setVisible(!picture.isNull());
}

void TTableForm::FillGrid()
{
    if (!m_table)
        return;
    TGridTable& t = *m_table;
    const int visible = t.VisibleColumnCount();
    m_visibleCols = std::min(m_visibleCols, visible);
    m_visibleRows = std::min(m_visibleRows, t.RowCount());
    m_headerRows = t.HeaderRowCount();

    QStringList captions;
    QVector<bool> controls;
    for (int k = 0; k < visible; ++k) {
        const TColumn* c = t.VisibleColumn(k);
        QStringList lines;
        for (int j = 0; j < m_headerRows; ++j)
            lines << (j < c->CaptionCount() ? c->CaptionLine(j) : QString());
        captions << lines.join(u'\n');
        controls << c->UsesControls();
    }
    QStringList groups;
    groups.reserve(t.RowCount());
    for (int r = 0; r < t.RowCount(); ++r)
        groups << QString::number(r / t.RowGroup() + 1);

    const int keepTop = TopRowIndex();
    const int keepLeft = LeftColIndex();
    m_arranging = true;
    m_grid->setCurrentIndex(QModelIndex());
    m_model->reset(visible, t.RowCount(), captions, groups, controls);
    rewriteDataCells();

    const WidgetCanvas canvas(m_grid);
    const int rowHeight = scaled(this, 24);
    m_grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int k = 0; k < visible; ++k)
        m_grid->setColumnWidth(k, t.VisibleColumn(k)->Width(canvas));
    const int fixedWidth = std::max(canvas.TextWidth(t.TopLeft + QStringLiteral("  ")), logicalDpiX() / 3);
    m_grid->verticalHeader()->setFixedWidth(fixedWidth);
    m_grid->horizontalHeader()->setFixedHeight(rowHeight * m_headerRows);
    m_grid->horizontalHeader()->setVisible(m_headerRows > 0);
    m_arranging = false;

    // The current cell stays where it was, within the rows there are now.
    m_col = std::clamp(m_col, 1, std::max(1, visible));
    m_row = std::clamp(m_row, m_headerRows, std::max(m_headerRows, m_headerRows + t.RowCount() - 1));
    updateButtons();
    setTopLeft(keepLeft, keepTop);
    ArrangeControls();
    setCurrent(m_col, m_row);
}

void TTableForm::updateButtons()
{
    const TGridTable& t = *m_table;
    const bool visible = t.MinRows() != t.MaxRows;
    // A group is added only while it fits below MaxRows, and deleted only
    // while MinRows rows stay.
    const bool canAdd = t.MaxRows == 0 || t.RowCount() + t.RowGroup() <= t.MaxRows;
    const bool canDelete = t.RowCount() - t.RowGroup() >= t.MinRows();
    for (QPushButton* b : {m_btnAdd, m_btnIns, m_btnDel})
        b->setVisible(visible);
    m_btnAdd->setEnabled(canAdd);
    m_btnIns->setEnabled(canAdd);
    m_btnDel->setEnabled(canDelete);
}

TableGridMetrics TTableForm::GridMetrics() const
{
    TableGridMetrics g;
    g.FixedCols = 1;
    g.FixedRows = m_headerRows;
    g.RowCount = RowCount();
    g.RowHeight = m_grid->verticalHeader()->defaultSectionSize();
    g.ColWidths.push_back(m_grid->verticalHeader()->width());
    for (int k = 0; k < m_model->columnCount(); ++k)
        g.ColWidths.push_back(m_grid->columnWidth(k));
    g.VisibleCols = m_visibleCols;
    g.VisibleRows = m_visibleRows;
    g.LeftColIndex = LeftColIndex();
    g.TopRowIndex = TopRowIndex();
    return g;
}

TableFrameMetrics TTableForm::FrameMetrics() const
{
    TableFrameMetrics f;
    if (m_frame) {
        const QSize delta = m_frame->sizeHint() - sizeHint();
        f.FrameWidth = delta.width();
        f.FrameHeight = delta.height();
    }
    f.Margin = Margin();
    f.ButtonsBand = m_btnAdd->isVisibleTo(this) ? Margin() + m_btnAdd->height() : 0;
    f.CommentsBand = m_lblComments->isVisibleTo(this) ? Margin() + m_lblComments->height() : 0;
    f.PictureBand = m_imgHelp->height() > 0 ? Margin() + m_imgHelp->height() : 0;
    f.ButtonsWidth = 3 * m_btnAdd->width() + 2 * Margin();
    f.GridFrame = 2 * m_grid->frameWidth();
    const int extent = m_grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_grid);
    f.ScrollBarWidth = extent;
    f.ScrollBarHeight = extent;
    return f;
}

void TTableForm::setTopLeft(int leftCol, int topRow)
{
    if (!m_table)
        return;
    const int cols = m_model->columnCount();
    const int rows = m_model->rowCount();
    leftCol = std::clamp(leftCol, 0, std::max(0, cols - std::max(1, m_visibleCols)));
    topRow = std::clamp(topRow, 0, std::max(0, rows - std::max(1, m_visibleRows)));
    keepScrollPosition(leftCol, topRow);
}

void TTableForm::keepScrollPosition(int leftCol, int topRow)
{
    if (!m_table)
        return;
    const bool arranging = std::exchange(m_arranging, true);
    // The bars' ranges follow the shown rows and columns, and so does the
    // horizontal page (the thumb's length), which the view takes from the
    // columns that fit its viewport from the end.
    QScrollBar* vertical = m_grid->verticalScrollBar();
    QScrollBar* horizontal = m_grid->horizontalScrollBar();
    vertical->setRange(0, std::max(0, m_model->rowCount() - m_visibleRows));
    horizontal->setRange(0, std::max(0, m_model->columnCount() - m_visibleCols));
    horizontal->setPageStep(std::max(1, m_visibleCols));
    vertical->setValue(topRow);
    horizontal->setValue(leftCol);
    // The header starts at the first shown column. At its maximum the bar
    // lines the last column up with the viewport's edge, measured with the
    // viewport before the window took the width of the columns now in view;
    // the viewport is as wide as those columns, so this is the same place
    // once the arrangement is done. Rows are all of one height and need no
    // such help.
    m_grid->horizontalHeader()->setOffsetToSectionPosition(horizontal->value());
    m_arranging = arranging;
}

void TTableForm::ArrangeControls()
{
    if (!m_table || m_arranging)
        return;
    fitToFrame();
    m_arranging = true;
    TableGridMetrics g = GridMetrics();
    // The shown columns end with the last one at most (a window maximised
    // at the end shows more columns than before from the same first one).
    g.LeftColIndex = std::clamp(g.LeftColIndex, 0, std::max(0, ColCount() - 1 - g.VisibleCols));
    const TableFrameMetrics f = FrameMetrics();
    const int m = Margin();
    const bool vertical = NeedsVerticalBar(g);
    const bool horizontal = NeedsHorizontalBar(g);
    m_grid->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_grid->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);

    int shown = g.ColWidths[0];
    for (int k = 0; k < g.VisibleCols; ++k)
        shown += g.ColWidths[static_cast<std::size_t>(std::min<int>(g.LeftColIndex + 1 + k, static_cast<int>(g.ColWidths.size()) - 1))];
    const int gridWidth = f.GridFrame + shown + (vertical ? f.ScrollBarWidth : 0);
    const int gridHeight = f.GridFrame + g.RowHeight * (g.FixedRows + g.VisibleRows) + (horizontal ? f.ScrollBarHeight : 0);
    m_grid->setGeometry(m, m, gridWidth, gridHeight);

    const int buttonsTop = m + m_grid->y() + gridHeight;
    m_btnAdd->move(m, buttonsTop);
    m_btnIns->move(m_btnAdd->x() + m_btnAdd->width() + m, buttonsTop);
    m_btnDel->move(m_btnIns->x() + m_btnIns->width() + m, buttonsTop);
    m_lblComments->move(m_grid->x(), buttonsTop + f.ButtonsBand);
    m_imgHelp->move(m_grid->x(), m_lblComments->y() + f.CommentsBand);

    int width = 0;
    int height = 0;
    TableClientSize(g, f, width, height);
    m_clientSize = QSize(width, height);
    // At the least one data row and column with the buttons, so that the
    // workspace (Cascade, Tile) never squeezes the window to its title bar.
    TableGridMetrics least = g;
    least.VisibleCols = std::min(1, g.VisibleCols);
    least.VisibleRows = std::min(1, g.VisibleRows);
    int leastWidth = 0;
    int leastHeight = 0;
    TableClientSize(least, f, leastWidth, leastHeight);
    setMinimumSize(m_clientSize.boundedTo(QSize(leastWidth, leastHeight)));
    updateGeometry();
    m_arranging = false;

    setTopLeft(g.LeftColIndex, g.TopRowIndex);
    resizeFrame(m_anchor);
    placeColumnEditors();
    if (m_table && m_table->OnResize)
        m_table->OnResize();
}

void TTableForm::resizeFrame(SizingEdge anchor)
{
    QWidget* frame = Frame();
    // A maximised or minimised window keeps the size the workspace gives it.
    if (frame->isMaximized() || frame->isMinimized() || frame->isFullScreen()) {
        m_lastFrameGeometry = frame->geometry();
        return;
    }
    QSize size = m_clientSize;
    if (m_frame)
        size = m_frame->sizeHint();
    QRect r = frame->geometry();
    const bool top = anchor == SizingEdge::Top || anchor == SizingEdge::TopLeft || anchor == SizingEdge::TopRight;
    const bool left = anchor == SizingEdge::Left || anchor == SizingEdge::TopLeft || anchor == SizingEdge::BottomLeft;
    if (top)
        r.setTop(r.bottom() + 1 - size.height());
    else
        r.setHeight(size.height());
    if (left)
        r.setLeft(r.right() + 1 - size.width());
    else
        r.setWidth(size.width());
    m_arranging = true;
    if (frame->geometry() != r)
        frame->setGeometry(r);
    m_lastFrameGeometry = frame->geometry();
    m_arranging = false;
}

void TTableForm::placeColumnEditors()
{
    if (!m_table)
        return;
    TGridTable& t = *m_table;
    const int firstVisible = LeftColIndex();
    const int lastVisible = firstVisible + m_visibleCols - 1;
    int v = -1;
    for (int c = 0; c < t.ColumnCount(); ++c) {
        TColumn* column = t.Columns(c);
        if (!column->Visible())
            continue;
        ++v;
        if (!column->UsesControls())
            continue;
        try {
            column->PlaceEditors(m_handle, TopRowIndex(), m_visibleRows);
        } catch (const Exception&) {
            continue; // nothing placed (no rows to show)
        }
        auto& widgets = m_editorWidgets[column];
        const int count = column->EditorCount();
        while (static_cast<int>(widgets.size()) > count) {
            delete widgets.back().data();
            widgets.pop_back();
        }
        auto* choice = dynamic_cast<TEnumColumn*>(column);
        for (int i = 0; i < count; ++i) {
            if (static_cast<int>(widgets.size()) <= i) {
                QWidget* w = nullptr;
                if (choice) {
                    auto* combo = new QComboBox(m_grid->viewport());
                    combo->addItems(choice->Items());
                    combo->setMaxVisibleItems(11);
                    connect(combo, &QComboBox::activated, this, [this, choice, i](int item) {
                        try {
                            // The row's own choice taken again is no edit.
                            const int row = choice->Editor(i)->Tag;
                            const bool changed =
                                row >= 0 && row < choice->RowCount() && choice->GetInt(row) != item + 1;
                            choice->ComboChange(i, item);
                            if (changed && m_table)
                                m_table->SetModified(true);
                        } catch (const Exception& e) {
                            inform(e.Message());
                        }
                    });
                    combo->installEventFilter(this);
                    combo->setProperty("editorIndex", i);
                    w = combo;
                } else {
                    auto* button = new QPushButton(m_grid->viewport());
                    connect(button, &QPushButton::clicked, this, [this, column, i] {
                        if (!CommitCell())
                            return;
                        try {
                            column->ButtonClick(i);
                        } catch (const Exception& e) {
                            inform(e.Message());
                        }
                    });
                    button->setFocusPolicy(Qt::TabFocus);
                    w = button;
                }
                widgets.emplace_back(w);
            }
            QWidget* w = widgets[static_cast<std::size_t>(i)];
            CellEditor* editor = column->Editor(i);
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                const QSignalBlocker block(combo);
                combo->setCurrentIndex(editor->ItemIndex);
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                button->setText(editor->Caption);
            }
            const bool shownCol = v >= firstVisible && v <= lastVisible;
            editor->Visible = shownCol;
            if (!shownCol) {
                w->hide();
                continue;
            }
            const QRect cell = m_grid->visualRect(m_model->index(editor->Tag, v));
            w->setGeometry(cell);
            w->show();
            w->raise();
        }
    }
}

// ---------------------------------------------------------------- callbacks

void TTableForm::RefreshCell(int columnIndex, int row)
{
    if (!m_table || columnIndex < 0 || columnIndex >= m_table->ColumnCount())
        return;
    TColumn* column = m_table->Columns(columnIndex);
    const int k = m_table->VisibleIndexOf(column);
    if (k < 0)
        return;
    if (column->UsesControls()) {
        placeColumnEditors(); // the row's control shows the new value
        return;
    }
    m_model->setText(k, row, column->GetText(row));
}

void TTableForm::RowsChanged()
{
    if (!m_refillHeld)
        FillGrid();
}

// ---------------------------------------------------------------- the current cell

void TTableForm::openEditor()
{
    if (!m_table || m_informing)
        return;
    const QModelIndex index = m_model->index(m_row - m_headerRows, m_col - 1);
    if (!index.isValid() || !(m_model->flags(index) & Qt::ItemIsEditable))
        return;
    if (!m_grid->isPersistentEditorOpen(index))
        m_grid->openPersistentEditor(index);
    if (auto* editor = qobject_cast<QLineEdit*>(m_grid->indexWidget(index))) {
        const QString text = m_model->text(index.column(), index.row());
        editor->setText(text);
        // The start of the text in view; with the focus the whole text is
        // selected from its end back to its start, so typing replaces it.
        editor->setCursorPosition(0);
        if (m_grid->hasFocus() || isActiveWindow()) {
            editor->setFocus();
            editor->setSelection(static_cast<int>(text.size()), -static_cast<int>(text.size()));
        }
    }
}

void TTableForm::setCurrent(int col, int row)
{
    m_moving = true;
    const QModelIndex old = m_model->index(m_row - m_headerRows, m_col - 1);
    if (old.isValid() && m_grid->isPersistentEditorOpen(old) && (old.column() != col - 1 || old.row() != row - m_headerRows))
        m_grid->closePersistentEditor(old);
    m_col = col;
    m_row = row;
    const QModelIndex index = m_model->index(row - m_headerRows, col - 1);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    if (index.isValid())
        m_grid->scrollTo(index);
    openEditor();
    m_moving = false;
}

bool TTableForm::SelectCell(int col, int row)
{
    if (!m_table || col < 1 || col >= ColCount() || row < m_headerRows || row >= RowCount())
        return false;
    if (col == m_col && row == m_row)
        return true;
    if (!GridSelectCell(col, row))
        return false;
    setCurrent(col, row);
    return true;
}

bool TTableForm::GridSelectCell(int col, int /*row*/)
{
    if (!m_table || m_informing)
        return false;
    if (m_col <= 0 || !isTableRow(m_row - m_headerRows))
        return true;
    if (!CommitCell())
        return false;
    // A column of controls takes no grid cursor.
    const bool canSelect = !(col > 0 && m_table->VisibleColumn(col - 1)->UsesControls());
    rewriteDataCells();
    return canSelect;
}

void TTableForm::rewriteDataCells()
{
    // Values changed by linking, grouping or rounding show at once.
    const TGridTable& t = *m_table;
    const int visible = t.VisibleColumnCount();
    for (int k = 0; k < visible; ++k) {
        const TColumn* c = t.VisibleColumn(k);
        if (c->UsesControls())
            continue;
        for (int r = 0; r < t.RowCount(); ++r)
            m_model->load(k, r, c->GetText(r));
    }
    m_model->changed(0, visible - 1);
}

bool TTableForm::CommitCell()
{
    if (!m_table)
        return true;
    if (m_informing)
        return false;
    if (m_col <= 0 || !isTableRow(m_row - m_headerRows))
        return true;
    TColumn* column = m_table->VisibleColumn(m_col - 1);
    if (column->UsesControls())
        return true;
    const int col = m_col - 1;
    const int row = m_row - m_headerRows;
    // A cell left alone keeps its exact value: its text is only the rounded
    // picture of it.
    if (!m_model->edited(col, row)) {
        m_refusedCol = 0;
        return true;
    }
    const QString text = m_model->text(col, row);
    try {
        column->SetText(row, text);
    } catch (const EAssignError& e) {
        const int refusedCol = m_col;
        const int refusedRow = m_row;
        QPointer<TTableForm> self(this);
        inform(e.Message());
        if (!self)
            return false;
        // Marked once the message has gone: a real box runs an event loop of
        // its own, in which the end of the action would already be seen.
        m_refusedCol = refusedCol;
        m_refusedRow = refusedRow;
        m_refusedText = text;
        m_refusalPending = true;
        CallWhenUserActionEnds(this, [this] { m_refusalPending = false; });
        return false;
    }
    // Only a stored entry is an edit: leaving, scrolling or closing the
    // window leaves the table as the project file has it.
    m_table->SetModified(true);
    m_model->accept(col, row);
    m_refusedCol = 0;
    return true;
}

bool TTableForm::StoreEdits()
{
    // A menu opening commits, then its command commits again: within that
    // one action the entry refused a moment ago is refused again without a
    // second message. A later command checks it again, message and all.
    if (m_table && !m_informing && m_refusalPending && m_refusedCol == m_col && m_refusedRow == m_row && m_refusedText == EditText()) {
        m_grid->setFocus();
        openEditor();
        return false;
    }
    return CommitCell();
}

bool TTableForm::handleKey(QKeyEvent* key)
{
    if (!m_table)
        return false;
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        GridKeyPress(Qt::Key_Return);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        // Tab leaves the grid for the buttons; the cell is committed first.
        if (!CommitCell())
            return true;
        const bool back = key->key() == Qt::Key_Backtab;
        const QPushButton* order[] = {m_btnDel, m_btnAdd, m_btnIns};
        for (int i = 0; i < 3; ++i) {
            QPushButton* b = const_cast<QPushButton*>(order[back ? 2 - i : i]);
            if (b->isVisibleTo(this) && b->isEnabled()) {
                m_moving = true;
                b->setFocus(Qt::TabFocusReason);
                m_moving = false;
                return true;
            }
        }
        return true;
    }
    default: break;
    }
    int col = m_col;
    int row = m_row;
    const int page = std::max(1, m_visibleRows);
    switch (key->key()) {
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_PageDown: row += page; break;
    case Qt::Key_Home:
        if (!ctrl)
            return false;
        row = m_headerRows;
        col = 1;
        break;
    case Qt::Key_End:
        if (!ctrl)
            return false;
        row = RowCount() - 1;
        col = ColCount() - 1;
        break;
    default: return false;
    }
    col = std::clamp(col, 1, ColCount() - 1);
    row = std::clamp(row, m_headerRows, RowCount() - 1);
    if (col != m_col || row != m_row)
        SelectCell(col, row);
    return true;
}

void TTableForm::GridKeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    if (m_row < RowCount() - 1)
        SelectCell(m_col, m_row + 1);
    else if (m_col < ColCount() - 1)
        SelectCell(m_col + 1, m_headerRows);
    else
        SelectCell(1, m_headerRows);
}

void TTableForm::GridExit()
{
    if (m_moving || m_informing || m_arranging || !m_table)
        return;
    // Only a move of the focus to another control of this window leaves the
    // grid; deactivation and the main window's menus commit on their own.
    QWidget* next = QApplication::focusWidget();
    if (!next || next == m_grid || !isAncestorOf(next) || m_grid->isAncestorOf(next))
        return;
    if (!CommitCell()) {
        m_grid->setFocus();
        openEditor();
    }
}

void TTableForm::FormDeactivate()
{
    if (m_closing || m_informing || !m_table)
        return;
    if (!CommitCell() && m_frame && m_area)
        m_area->setActiveSubWindow(m_frame);
}

// ---------------------------------------------------------------- buttons

void TTableForm::BtnAddClick()
{
    if (!m_table)
        return;
    TGridTable& t = *m_table;
    if (t.MaxRows != 0 && t.RowCount() + t.RowGroup() > t.MaxRows)
        return;
    // The grid is refilled once, after the new rows are in and in view.
    m_refillHeld = true;
    const auto refill = qScopeGuard([this, &t] {
        m_refillHeld = false;
        t.SetModified(true);
        FillGrid();
        if (TopRowIndex() + m_visibleRows < t.RowCount()) {
            setTopLeft(LeftColIndex(), t.RowCount() - m_visibleRows);
            placeColumnEditors();
        }
    });
    if (m_visibleRows == t.RowCount())
        m_visibleRows = std::min(m_visibleRows + t.RowGroup(), 10);
    t.AddRowGroup();
}

void TTableForm::BtnInsClick()
{
    if (!m_table)
        return;
    TGridTable& t = *m_table;
    const int r = m_row - m_headerRows;
    if (!isTableRow(r))
        throw Exception(QStringLiteral("Grid.Row not in valid range"));
    if (t.MaxRows != 0 && t.RowCount() + t.RowGroup() > t.MaxRows)
        return;
    t.SetModified(true);
    if (m_visibleRows == t.RowCount())
        m_visibleRows = std::min(m_visibleRows + t.RowGroup(), 10);
    t.InsertRowGroup(r);
}

void TTableForm::BtnDelClick()
{
    if (!m_table)
        return;
    TGridTable& t = *m_table;
    const int r = m_row - m_headerRows;
    if (!isTableRow(r))
        throw Exception(QStringLiteral("Grid.Row not in valid range"));
    const int start = t.RowGroup() * (r / t.RowGroup());
    if (t.RowCount() - std::min(t.RowGroup(), t.RowCount() - start) < t.MinRows())
        return;
    t.SetModified(true);
    t.DeleteRowGroup(r);
}

// ---------------------------------------------------------------- sizing

SizeCandidate TTableForm::WMSizing(SizingEdge edge, QRect& rect)
{
    SnapRect r{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    const SizeCandidate chosen = SnapSize(edge, r, GridMetrics(), FrameMetrics());
    m_visibleCols = std::max(1, chosen.Cols);
    m_visibleRows = std::max(1, chosen.Rows);
    setTopLeft(chosen.FirstCol, chosen.FirstRow);
    rect = QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    return chosen;
}

namespace {

SizingEdge draggedEdge(const QRect& before, const QRect& after)
{
    const bool left = after.left() != before.left() && after.right() == before.right();
    const bool right = after.right() != before.right() && after.left() == before.left();
    const bool top = after.top() != before.top() && after.bottom() == before.bottom();
    const bool bottom = after.bottom() != before.bottom() && after.top() == before.top();
    if (top)
        return left ? SizingEdge::TopLeft : right ? SizingEdge::TopRight : SizingEdge::Top;
    if (bottom)
        return left ? SizingEdge::BottomLeft : right ? SizingEdge::BottomRight : SizingEdge::Bottom;
    if (left)
        return SizingEdge::Left;
    if (right)
        return SizingEdge::Right;
    return SizingEdge::None;
}

} // namespace

bool TTableForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_frameObject && m_frame && !m_arranging && m_shown && m_table) {
        if (event->type() == QEvent::Move && m_frame->size() == m_lastFrameGeometry.size()) {
            m_lastFrameGeometry = m_frame->geometry(); // moved, not sized
        } else if (event->type() == QEvent::Resize) {
            // A size the user drags snaps to whole rows and columns.
            const QRect now = m_frame->geometry();
            const SizingEdge edge = draggedEdge(m_lastFrameGeometry, now);
            if (edge != SizingEdge::None && (QApplication::mouseButtons() & Qt::LeftButton)
                && !m_frame->isMaximized() && !m_frame->isMinimized()) {
                QRect r = now;
                WMSizing(edge, r);
                QTimer::singleShot(0, this, [this, edge] {
                    if (!m_table)
                        return;
                    m_anchor = edge;
                    ArrangeControls();
                    m_anchor = SizingEdge::None;
                });
            } else {
                // Any other size (maximised, restored, arranged by the
                // workspace, set by the program): the window arranges itself.
                m_lastFrameGeometry = now;
                FormResize();
            }
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto* combo = qobject_cast<QComboBox*>(watched)) {
            for (auto& [column, widgets] : m_editorWidgets) {
                auto* choice = dynamic_cast<const TEnumColumn*>(column);
                for (std::size_t i = 0; choice && i < widgets.size(); ++i)
                    if (widgets[i] == combo)
                        const_cast<TEnumColumn*>(choice)->ComboEnter(static_cast<int>(i));
            }
        }
        return false;
    }
    if (event->type() == QEvent::Paint && qobject_cast<QAbstractButton*>(watched) && m_table) {
        // The corner of the grid shows the table's top-left text.
        auto* corner = static_cast<QWidget*>(watched);
        QPainter p(corner);
        p.fillRect(corner->rect(), corner->palette().button());
        p.drawText(corner->rect().adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, m_table->TopLeft);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TTableForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // In a sub-window the frame's own size tells (eventFilter).
    if (!m_frame && !m_arranging)
        FormResize();
}

void TTableForm::FormResize()
{
    if (!m_shown || !m_table || m_resizePending)
        return;
    // Once the resize is complete: a frame being maximised or restored
    // tells its new state only after its new size.
    m_resizePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_resizePending = false;
            if (m_table && !Frame()->isMinimized())
                ArrangeControls();
        },
        Qt::QueuedConnection);
}

void TTableForm::fitToFrame()
{
    QWidget* frame = Frame();
    if (!frame->isMaximized() && !frame->isFullScreen()) {
        // Back in its own size: the rows and columns it showed before.
        if (m_ownCounts) {
            m_visibleCols = std::min(m_ownCounts->width(), m_model->columnCount());
            m_visibleRows = std::min(m_ownCounts->height(), m_model->rowCount());
            m_ownCounts.reset();
        }
        return;
    }
    if (!m_ownCounts)
        m_ownCounts = QSize(m_visibleCols, m_visibleRows);
    // The size is the workspace's: as many rows and columns as it holds.
    TableGridMetrics g = GridMetrics();
    const TableFrameMetrics f = FrameMetrics();
    const int cols = m_model->columnCount();
    g.VisibleCols = cols;
    g.VisibleRows = m_model->rowCount();
    for (;;) {
        g.LeftColIndex = std::clamp(g.LeftColIndex, 0, std::max(0, cols - g.VisibleCols));
        int width = 0;
        int height = 0;
        TableClientSize(g, f, width, height);
        if (height > this->height() && g.VisibleRows > 1)
            --g.VisibleRows;
        else if (width > this->width() && g.VisibleCols > 1)
            --g.VisibleCols;
        else
            break;
    }
    m_visibleCols = g.VisibleCols;
    m_visibleRows = g.VisibleRows;
}

// ---------------------------------------------------------------- closing

void TTableForm::closeEvent(QCloseEvent* event)
{
    if (m_table && !CommitCell()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

void TTableForm::rememberPlace()
{
    if (m_table && m_places && m_frame)
        (*m_places)[m_table] = m_frame->pos();
}

void TTableForm::FormClose()
{
    rememberPlace();
    m_closing = true;
    detachFromTable();
}
