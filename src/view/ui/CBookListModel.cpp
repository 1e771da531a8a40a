#include "view/ui/CBookListModel.h"

#include "shell/DialogParts.h"

int CBookListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return IsFiltered() ? static_cast<int>(m_visible.size()) : m_rows.RowCount();
}

int CBookListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kListedColumnCount;
}

QString CBookListModel::Text(int row, int column) const {
    if (row < 0 || row >= rowCount()) {
        return {};
    }
    const std::string t = column < kBookColumnCount
                              ? m_rows.Text(Source(row), column)
                              : ListedDetailText(m_details.Of(m_rows.Id(Source(row))), column);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

QVariant CBookListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return Text(index.row(), index.column());
    }
    if (role == Qt::ToolTipRole) {
        return PlainToolTip(Text(index.row(), index.column()));
    }
    // A screen reader reads cells out of sight of their headers, so each says its column.
    if (role == Qt::AccessibleTextRole) {
        return CellReading(index.row(), index.column());
    }
    if (role == Qt::AccessibleDescriptionRole) {
        return RowReading(index.row());
    }
    return {};
}

QString CBookListModel::Header(int column) const {
    return headerData(column, Qt::Horizontal).toString();
}

QString CBookListModel::CellReading(int row, int column) const {
    const QString text = Text(row, column);
    return QStringLiteral("%1: %2").arg(Header(column),
                                        text.isEmpty() ? QStringLiteral("gol") : text);
}

QString CBookListModel::RowReading(int row) const {
    QStringList cells;
    auto read = [&](int column) {
        if (const QString text = Text(row, column); !text.isEmpty()) {
            cells << QStringLiteral("%1: %2").arg(Header(column), text);
        }
    };
    if (m_readingOrder.empty()) {
        for (int column = 0; column < kListedColumnCount; ++column) {
            read(column);
        }
    }
    for (const int column : m_readingOrder) {
        read(column);
    }
    return cells.join(QStringLiteral(", "));
}

QVariant CBookListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kListedColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(section < kBookColumnCount
                                     ? BookListColumns()[static_cast<std::size_t>(section)].header
                                     : ListedDetailHeader(section));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void CBookListModel::ApplyFilter() {
    if (!IsFiltered()) {
        m_visible = {};
        return;
    }
    if (!m_indexBuilt) {
        m_index.Build(m_rows, m_details);
        m_indexBuilt = true;
    }
    m_visible = m_index.Matching(m_words);
}

void CBookListModel::ResetRows(BookRowTable rows, ListedDetails details) {
    beginResetModel();
    m_rows.Swap(rows);
    m_details = std::move(details);
    m_index.Clear();
    m_indexBuilt = false;
    ApplyFilter();
    endResetModel();
    emit CountsChanged();
    emit ListingReplaced();
}

void CBookListModel::Clear() {
    ResetRows(BookRowTable()); // the old rows go with the argument, memory and all
}

void CBookListModel::SetFilter(const std::string& typed) {
    std::vector<std::string> words = FilterWords(typed);
    if (words == m_words) {
        return;
    }
    beginResetModel();
    m_words = std::move(words);
    ApplyFilter();
    endResetModel();
    emit CountsChanged();
}

void CBookListModel::AppendRow(const RowTexts& texts, const BookDetails& details) {
    const int source = m_rows.RowCount();
    m_rows.AppendRow(texts);
    m_details.Set(m_rows.Id(source), details);
    if (m_indexBuilt) {
        m_index.Append(texts, m_details.Of(m_rows.Id(source)));
    }
    if (!IsFiltered() || m_index.Matches(source, m_words)) {
        const int row = rowCount();
        beginInsertRows({}, row, row);
        if (IsFiltered()) {
            m_visible.push_back(source);
        }
        endInsertRows();
    }
    emit CountsChanged();
}

void CBookListModel::SetRowTexts(int row, const RowTexts& texts, const BookDetails& details) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    const int source = Source(row);
    m_rows.SetRowTexts(source, texts);
    m_details.Set(m_rows.Id(source), details);
    if (m_indexBuilt) {
        m_index.Update(source, m_rows.Row(source), m_details.Of(m_rows.Id(source)));
    }
    emit dataChanged(index(row, 1), index(row, kListedColumnCount - 1));
}
