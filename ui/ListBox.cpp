#include "ui/ListBox.h"

#include <QAbstractListModel>
#include <QDrag>
#include <QDropEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace meloport {

namespace {

// A dragged entry: the list it comes from and its position there. Only its own list takes it.
constexpr QLatin1StringView kDraggedEntry("application/x-meloport-list-entry");

} // namespace

// The entries, and a mark beside each. Every change is one signal of the model's, which is what
// the list reports as a change of its entries.
class ListBoxModel final : public QAbstractListModel {
public:
    ListBoxModel(QIcon warning, QObject *parent)
        : QAbstractListModel(parent)
        , m_warning(std::move(warning))
    {
    }

    QStringList entries;
    ListBox::EditRule edited; // set: the user arranges the entries

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(entries.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= entries.size())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return entries.at(index.row());
        case Qt::DecorationRole:
            return markAt(index.row()).isEmpty() ? QVariant() : QVariant(m_warning);
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole: {
            const QString mark = markAt(index.row());
            return mark.isEmpty() ? QVariant() : QVariant(mark);
        }
        default:
            return {};
        }
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!edited || role != Qt::EditRole || !index.isValid())
            return false;
        const std::optional<QString> text = edited(value.toString());
        if (!text || *text == entries.at(index.row()))
            return false;
        entries[index.row()] = *text;
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags flags = QAbstractListModel::flags(index);
        if (!edited)
            return flags;
        // Dropped between entries, never onto one.
        return index.isValid() ? flags | Qt::ItemIsEditable | Qt::ItemIsDragEnabled : flags | Qt::ItemIsDropEnabled;
    }

    void insert(int row, const QString &text)
    {
        beginInsertRows({}, row, row);
        entries.insert(row, text);
        if (row < m_marks.size())
            m_marks.insert(row, QString());
        endInsertRows();
    }

    bool removeRows(int row, int count, const QModelIndex &parent = {}) override
    {
        if (parent.isValid() || count <= 0 || row < 0 || row + count > entries.size())
            return false;
        beginRemoveRows({}, row, row + count - 1);
        entries.remove(row, count);
        if (row < m_marks.size())
            m_marks.remove(row, std::min<qsizetype>(count, m_marks.size() - row));
        endRemoveRows();
        return true;
    }

    void move(int from, int to)
    {
        beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
        entries.move(from, to);
        if (std::max(from, to) < m_marks.size())
            m_marks.move(from, to);
        endMoveRows();
    }

    void reset(const QStringList &items)
    {
        beginResetModel();
        entries = items;
        m_marks.clear();
        endResetModel();
    }

    void setMarks(QStringList marks)
    {
        if (marks == m_marks)
            return;
        m_marks = std::move(marks);
        if (!entries.isEmpty())
            emit dataChanged(index(0), index(int(entries.size()) - 1),
                             {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    }

    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {kDraggedEntry}; }

    QMimeData *mimeData(const QModelIndexList &indexes) const override
    {
        if (indexes.size() != 1)
            return nullptr;
        auto *data = new QMimeData;
        data->setData(kDraggedEntry, QByteArray::number(quintptr(this)) + ' ' + QByteArray::number(indexes.first().row()));
        return data;
    }

    // The position of an entry dragged from this list.
    std::optional<int> draggedRow(const QMimeData *data) const
    {
        if (!data || !edited)
            return std::nullopt;
        const QList<QByteArray> fields = data->data(kDraggedEntry).split(' ');
        bool ok = fields.size() == 2 && fields[0] == QByteArray::number(quintptr(this));
        const int row = ok ? fields[1].toInt(&ok) : -1;
        if (!ok || row < 0 || row >= entries.size())
            return std::nullopt;
        return row;
    }

    bool canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &) const override
    {
        return draggedRow(data).has_value();
    }

private:
    QString markAt(int row) const { return row < m_marks.size() ? m_marks.at(row) : QString(); }

    QIcon m_warning;
    QStringList m_marks;
};

ListBox::ListBox(QWidget *parent)
    : QListView(parent)
    , m_model(new ListBoxModel(style()->standardIcon(QStyle::SP_MessageBoxWarning), this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row height for all lets the view skip measuring every entry of a large folder.
    setUniformItemSizes(true);
    // A mark as high as the text: marked rows are no taller than the others.
    const int side = fontMetrics().height();
    setIconSize(QSize(side, side));

    const auto changed = [this] { emit itemsChanged(); };
    connect(m_model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, changed);
    connect(m_model, &QAbstractItemModel::modelReset, this, changed);
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.contains(Qt::EditRole))
                    emit itemsChanged();
            });
}

void ListBox::clear()
{
    m_model->reset({});
}

void ListBox::addItem(const QString &text)
{
    m_model->insert(m_model->rowCount(), text);
}

void ListBox::removeItem(int index)
{
    m_model->removeRow(index);
    // Nothing is selected afterwards, not even the entry that moved up into the place.
    selectionModel()->clear();
}

void ListBox::setItems(const QStringList &items)
{
    m_model->reset(items);
}

int ListBox::listCount() const
{
    return m_model->rowCount();
}

QStringList ListBox::items() const
{
    return m_model->entries;
}

int ListBox::listIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void ListBox::setListIndex(int index)
{
    if (index < 0)
        selectionModel()->clear();
    else
        selectionModel()->setCurrentIndex(m_model->index(index), QItemSelectionModel::ClearAndSelect);
}

void ListBox::setArrangeable(EditRule edited)
{
    m_model->edited = std::move(edited);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

void ListBox::moveItem(int from, int to)
{
    const int count = listCount();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    m_model->move(from, to);
    setListIndex(to);
    scrollTo(m_model->index(to));
}

void ListBox::setMarks(QStringList marks)
{
    m_model->setMarks(std::move(marks));
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    const int selected = listIndex();
    if (m_model->edited && selected >= 0 && state() != EditingState) {
        if (event->modifiers() == Qt::AltModifier && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
            moveItem(selected, selected + (event->key() == Qt::Key_Up ? -1 : 1));
            return;
        }
        if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Delete) {
            removeItem(selected);
            return;
        }
    }
    QListView::keyPressEvent(event);
}

void ListBox::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListView::currentChanged(current, previous);
    // The mouse shows why an entry is marked by pointing at it; the keyboard by going to it.
    const QString mark = current.data(Qt::ToolTipRole).toString();
    if (!hasFocus() || mark.isEmpty())
        return;
    const QRect place = visualRect(current);
    QToolTip::showText(viewport()->mapToGlobal(place.bottomLeft()), mark, viewport(), place);
}

void ListBox::startDrag(Qt::DropActions)
{
    const int row = listIndex();
    if (row < 0 || !m_model->edited)
        return;
    const QModelIndex index = m_model->index(row);
    auto *drag = new QDrag(this);
    drag->setMimeData(m_model->mimeData({index}));
    drag->setPixmap(viewport()->grab(visualRect(index)));
    // The drop has moved the entry already: nothing is removed here, whatever the answer.
    drag->exec(Qt::MoveAction);
}

void ListBox::dragEnterEvent(QDragEnterEvent *event)
{
    QListView::dragEnterEvent(event); // the drop indicator
    if (m_model->draggedRow(event->mimeData()))
        event->acceptProposedAction();
}

void ListBox::dragMoveEvent(QDragMoveEvent *event)
{
    QListView::dragMoveEvent(event);
    if (m_model->draggedRow(event->mimeData()))
        event->acceptProposedAction();
}

void ListBox::dropEvent(QDropEvent *event)
{
    const std::optional<int> from = m_model->draggedRow(event->mimeData());
    if (!from) {
        event->ignore();
        return;
    }
    // Above or below the entry under the pointer, by its upper or lower half; below the last
    // entry, to the end.
    const QPoint at = event->position().toPoint();
    const QModelIndex under = indexAt(at);
    int before = listCount();
    if (under.isValid())
        before = under.row() + (at.y() >= visualRect(under).center().y() ? 1 : 0);
    moveItem(*from, before > *from ? before - 1 : before);
    event->setDropAction(Qt::MoveAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

} // namespace meloport
