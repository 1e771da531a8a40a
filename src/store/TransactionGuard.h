#pragma once

#include "store/CEngineDatabase.h"
#include "store/CEngineException.h"

// One transaction on a connection: begun when made, committed by Commit(), rolled back when left
// without it (an exception on the way out), so a failure never leaves half of a change behind.
class TransactionGuard {
public:
    // `begin` may ask for the write lock at once ("BEGIN IMMEDIATE").
    explicit TransactionGuard(CEngineDatabase& db, const char* begin = "BEGIN") : m_db(db) {
        m_db.Execute(begin);
    }
    ~TransactionGuard() {
        if (!m_done) {
            try {
                m_db.Execute("ROLLBACK");
            } catch (const CEngineException&) {
                // The failed statement may already have ended the transaction.
            }
        }
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    void Commit() {
        m_db.Execute("COMMIT");
        m_done = true;
    }

private:
    CEngineDatabase& m_db;
    bool m_done = false;
};
