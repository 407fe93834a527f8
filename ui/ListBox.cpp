#include "ui/ListBox.h"

#include <QStringListModel>

namespace meloport {

ListBox::ListBox(QWidget *parent)
    : QListView(parent)
    , m_model(new QStringListModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row height for all lets the view skip measuring every entry of a large folder.
    setUniformItemSizes(true);
}

void ListBox::clear()
{
    m_model->setStringList({});
}

void ListBox::addItem(const QString &text)
{
    const int row = m_model->rowCount();
    m_model->insertRow(row);
    m_model->setData(m_model->index(row), text);
}

void ListBox::removeItem(int index)
{
    m_model->removeRow(index);
    // Nothing is selected afterwards, not even the entry that moved up into the place.
    selectionModel()->clear();
}

void ListBox::setItems(const QStringList &items)
{
    m_model->setStringList(items);
}

int ListBox::listCount() const
{
    return m_model->rowCount();
}

QStringList ListBox::items() const
{
    return m_model->stringList();
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

} // namespace meloport
