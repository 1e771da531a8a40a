#include "view/ListingQuery.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/CatalogueSchema.h"
#include "view/ListingSort.h"

namespace {

const std::vector<std::string>& BookColumnNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const SchemaColumn& column : CatalogueTables().front().columns) {
            out.emplace_back(column.name);
        }
        return out;
    }();
    return names;
}

} // namespace

ListingQuery::ListingQuery(CBookDatabase& db, std::string statement,
                           std::optional<TrailingOrder> order,
                           std::unique_ptr<CEngineRecordset> set)
    : m_db(db), m_statement(std::move(statement)), m_order(std::move(order)),
      m_set(std::move(set)) {}

ListingQuery::~ListingQuery() = default;

std::unique_ptr<ListingQuery> ListingQuery::Open(CBookDatabase& db, const std::string& statement) {
    auto order = SplitTrailingOrder(statement, BookColumnNames());
    auto set = db.OpenQuery(order ? order->unordered : statement, RecordReading::Forward);
    if (!set) {
        return nullptr;
    }
    return std::unique_ptr<ListingQuery>(
        new ListingQuery(db, statement, std::move(order), std::move(set)));
}

bool ListingQuery::IsEmpty() const {
    return m_set->IsEOF();
}

std::optional<BookRowTable> ListingQuery::Read(const LookupList& types, const LookupList& states,
                                               const MessageSink& sink) {
    if (!m_order) {
        return ReadBookRows(*m_set, types, states, sink);
    }
    std::optional<std::vector<std::uint32_t>> order;
    std::optional<BookRowTable> rows;
    try {
        ListingSort sort(*m_set, m_order->terms);
        rows = ReadBookRows(*m_set, types, states, sink, [&sort] { sort.Add(); });
        if (rows) {
            order = sort.Order();
        }
    } catch (const CEngineException&) {
        if (sink) {
            sink(msg::kCannotSelect);
        }
        return std::nullopt;
    }
    if (!rows) {
        return std::nullopt;
    }
    if (order) {
        rows->Reorder(*order);
        return rows;
    }
    // Values only the engine orders exactly: it sorts them.
    rows.reset();
    auto ordered = m_db.OpenQuery(m_statement, RecordReading::Forward);
    if (!ordered) {
        return std::nullopt;
    }
    m_set = std::move(ordered);
    return ReadBookRows(*m_set, types, states, sink);
}
