#pragma once

#include "store/MessageSink.h"
#include "store/TextOrder.h"
#include "view/BookRowTable.h"

#include <memory>
#include <optional>
#include <string>

class CBookDatabase;
class CEngineRecordset;

// A listing of books opened for the list. One whose statement ends in an order of the books'
// columns is read where its rows lie and ordered here (ListingSort), which spares the engine's
// sort of whole rows; any other is read in the engine's order.
class ListingQuery {
public:
    // Nothing when the statement does not open; the database has said why.
    static std::unique_ptr<ListingQuery> Open(CBookDatabase& db, const std::string& statement);
    ~ListingQuery();
    ListingQuery(const ListingQuery&) = delete;
    ListingQuery& operator=(const ListingQuery&) = delete;

    bool IsEmpty() const;
    // The rows in the statement's order, once; nothing when the engine fails on the way, and then
    // "Nu se pot selecta inregistrarile!" has gone to `sink`.
    std::optional<BookRowTable> Read(const LookupList& types, const LookupList& states,
                                     const MessageSink& sink);

private:
    ListingQuery(CBookDatabase& db, std::string statement, std::optional<TrailingOrder> order,
                 std::unique_ptr<CEngineRecordset> set);

    CBookDatabase& m_db;
    std::string m_statement;
    std::optional<TrailingOrder> m_order;
    std::unique_ptr<CEngineRecordset> m_set;
};
