#include "shell/CShelfwardenDoc.h"

#include "shell/Prompts.h"
#include "store/CatalogueCopy.h"

#include <QFileInfo>

CShelfwardenDoc::CShelfwardenDoc()
    : m_pDatabase(std::make_unique<CBookDatabase>(UserMessageSink())) {}

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
    if (m_beforeOpen) {
        m_beforeOpen(path.toStdString());
    }
    m_pDatabase->Open(path.toStdString());
    return true;
}

void CShelfwardenDoc::SetBeforeOpen(std::function<void(const std::string&)> hook) {
    m_beforeOpen = std::move(hook);
}

void CShelfwardenDoc::OpenReadOnly(const QString& path) {
    ReplaceDatabase();
    m_pDatabase->Open(path.toStdString(), true);
}

void CShelfwardenDoc::ReopenAfter(const std::function<void(const std::string&)>& whileClosed) {
    const std::string path = m_pDatabase->GetPath();
    ReplaceDatabase();
    whileClosed(path);
    m_pDatabase->Open(path);
}

bool CShelfwardenDoc::OnSaveDocument(const QString& path) {
    const std::string target = path.toStdString();
    if (m_pDatabase->IsOpen() && IsSameFile(m_pDatabase->GetPath(), target)) {
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

QString CShelfwardenDoc::GetTitle() const {
    const QString path = GetPathName();
    return path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}

QString CShelfwardenDoc::GetPathName() const {
    return m_pDatabase->IsOpen() ? QString::fromStdString(m_pDatabase->GetPath()) : QString();
}
