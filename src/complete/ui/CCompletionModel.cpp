#include "complete/ui/CCompletionModel.h"

#include "shell/DialogParts.h"

CCompletionModel::CCompletionModel(std::vector<CompletionProposal> proposals, QObject* parent)
    : QAbstractTableModel(parent), m_proposals(std::move(proposals)) {}

void CCompletionModel::SetChecked(int row, bool checked) {
    m_proposals[static_cast<std::size_t>(row)].checked = checked;
    const QModelIndex box = index(row, Choice);
    emit dataChanged(box, box, {Qt::CheckStateRole});
}

int CCompletionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_proposals.size());
}

int CCompletionModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CCompletionModel::data(const QModelIndex& index, int role) const {
    const CompletionProposal& p = m_proposals[static_cast<std::size_t>(index.row())];
    if (index.column() == Choice) {
        if (role == Qt::CheckStateRole) {
            return p.checked ? Qt::Checked : Qt::Unchecked;
        }
        // Sorting by the boxes puts the chosen rows together.
        return role == Qt::UserRole ? QVariant(p.checked) : QVariant();
    }
    if (role == Qt::UserRole && index.column() == Book) {
        // A book's rows stay in the order of its fields.
        return FromUtf8(p.title) + QChar(1) + QString::number(index.row()).rightJustified(9, '0');
    }
    if (role == Qt::UserRole && (index.column() == Now || index.column() == Proposed)) {
        // Numbers sort as numbers, before the texts: 99 before 104, -700 before 1920.
        const QString value = FromUtf8(index.column() == Now ? p.now : p.proposed);
        bool number = false;
        const qlonglong n = value.toLongLong(&number);
        return number ? QStringLiteral("0%1").arg(n + (1LL << 40), 14, 10, QChar('0'))
                      : QStringLiteral("1") + value;
    }
    if (role != Qt::DisplayRole && role != Qt::UserRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (index.column()) {
    case Book:
        return FromUtf8(p.title);
    case Field:
        return QString::fromUtf8(CompletedFieldName(p.field));
    case Now:
        return FromUtf8(p.now);
    case Proposed:
        return FromUtf8(p.proposed);
    case Source:
        return FromUtf8(p.source);
    default:
        return {};
    }
}

bool CCompletionModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (index.column() != Choice || role != Qt::CheckStateRole) {
        return false;
    }
    SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags CCompletionModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == Choice ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant CCompletionModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kHeaders[] = {"", "Carte", "Camp", "Acum", "Propus", "Sursa"};
    return QString::fromUtf8(kHeaders[section]);
}
