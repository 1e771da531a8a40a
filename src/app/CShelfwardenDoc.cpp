#include "CShelfwardenDoc.h"

#include "CatalogueCopy.h"
#include "Prompts.h"

#include <QFileInfo>

namespace {
const QString kUntitled = QStringLiteral("Untitled");
}

CShelfwardenDoc::CShelfwardenDoc()
    : m_pDatabase(std::make_unique<CBookDatabase>(UserMessageSink())), m_title(kUntitled) {}

CShelfwardenDoc::~CShelfwardenDoc() {
    if (m_pDatabase && m_pDatabase->IsOpen()) {
        m_pDatabase->Close();
    }
}

void CShelfwardenDoc::ReplaceDatabase() {
    if (m_pDatabase->IsOpen()) {
        m_pDatabase->Close();
    }
    m_pDatabase = std::make_unique<CBookDatabase>(UserMessageSink());
}

bool CShelfwardenDoc::OnNewDocument() {
    ReplaceDatabase();
    return true;
}

bool CShelfwardenDoc::OnOpenDocument(const QString& path) {
    ReplaceDatabase();
    m_pDatabase->Open(path.toStdString());
    return true;
}

bool CShelfwardenDoc::OnSaveDocument(const QString& path) {
    const std::string target = path.toStdString();
    if (m_pDatabase->GetPath() == target) {
        return true; // the catalogue in use is that file and is already saved
    }
    auto copy = CopyCatalogue(*m_pDatabase, target, UserMessageSink());
    if (!copy) {
        return false;
    }
    if (m_pDatabase->IsOpen()) {
        m_pDatabase->Close();
    }
    m_pDatabase = std::move(copy);
    return true;
}

void CShelfwardenDoc::OnCloseDocument() {
    if (m_pDatabase->IsOpen()) {
        m_pDatabase->Close();
    }
}

void CShelfwardenDoc::SetPathName(const QString& path) {
    m_pathName = path;
    m_title = QFileInfo(path).fileName();
}

void CShelfwardenDoc::ResetTitle() {
    m_pathName.clear();
    m_title = kUntitled;
}
