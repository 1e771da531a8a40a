#pragma once

#include "view/BookRowTable.h"
#include "view/QuickFilter.h"

#include <QAbstractTableModel>
#include <string>
#include <utility>
#include <vector>

// The list's rows: thirteen texts each, then the book's ISBN and location. Whole listings arrive at
// once, with one reset and no per-row signals. A quick filter may hide rows: every row number the
// model takes or gives is then one of the rows shown, so a command always acts on the row the user
// picked.
class CBookListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void ResetRows(BookRowTable rows, ListedDetails details = {});
    void Clear();
    void AppendRow(const RowTexts& texts, const BookDetails& details = {});
    void SetRowTexts(int row, const RowTexts& texts, const BookDetails& details);
    RowTexts Row(int row) const { return m_rows.Row(Source(row)); }
    std::int32_t BookId(int row) const { return m_rows.Id(Source(row)); }
    QString Text(int row, int column) const;

    // Shows only the rows whose texts hold every word typed; an empty text shows them all.
    void SetFilter(const std::string& typed);
    bool IsFiltered() const { return !m_words.empty(); }
    // Every row of the listing, shown or not.
    int TotalCount() const { return m_rows.RowCount(); }
    // The columns a screen reader reads a row by, in their order on screen; all of them until
    // the view says otherwise.
    void SetReadingOrder(std::vector<int> columns) { m_readingOrder = std::move(columns); }

signals:
    // The number of rows shown or listed changed.
    void CountsChanged();
    // A whole new listing (or none) took the place of the old one; the filter alone never does.
    void ListingReplaced();

private:
    int Source(int row) const {
        return IsFiltered() ? m_visible[static_cast<std::size_t>(row)] : row;
    }
    void ApplyFilter();
    QString Header(int column) const;
    // "Titlu: Ion": a cell read alone says which column it is in.
    QString CellReading(int row, int column) const;
    // "Titlu: Ion, Autor: Liviu Rebreanu, ...": the row's cells that hold a text.
    QString RowReading(int row) const;

    BookRowTable m_rows;
    ListedDetails m_details;
    std::vector<std::string> m_words;
    FilterIndex m_index;
    bool m_indexBuilt = false;
    std::vector<int> m_visible;
    std::vector<int> m_readingOrder;
};
