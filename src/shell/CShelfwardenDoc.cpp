#include "shell/CShelfwardenDoc.h"

#include "shell/Prompts.h"
#include "store/CatalogueCopy.h"

#include <QFile>
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
    m_bReadOnly = false;
}

void CShelfwardenDoc::Open(const std::string& path, const OpenAdvice& advice) {
    // The note goes below the failure of this opening only, never below a later message.
    auto note = std::make_shared<std::string>(advice.noteOnFailure);
    m_pDatabase = std::make_unique<CBookDatabase>([note](const std::string& text) {
        UserMessageSink()(note->empty() ? text : text + "\n\n" + *note);
    });
    m_bReadOnly = advice.readOnly;
    const bool opened = m_pDatabase->Open(path, advice.readOnly);
    note->clear();
    m_lastFailedPath = opened ? std::string() : path;
}

void CShelfwardenDoc::RunBeforeClose() {
    if (m_beforeClose && m_pDatabase->IsOpen()) {
        m_beforeClose(*m_pDatabase);
    }
}

bool CShelfwardenDoc::OnNewDocument() {
    RunBeforeClose();
    ReplaceDatabase();
    emit CatalogueChanged();
    return true;
}

bool CShelfwardenDoc::OnOpenDocument(const std::string& path) {
    RunBeforeClose();
    ReplaceDatabase();
    Open(path, m_beforeOpen ? m_beforeOpen(path) : OpenAdvice());
    emit CatalogueChanged();
    return true;
}

bool CShelfwardenDoc::OnOpenDocument(const QString& path) {
    return OnOpenDocument(QFile::encodeName(path).toStdString());
}

void CShelfwardenDoc::SetBeforeOpen(std::function<OpenAdvice(const std::string&)> hook) {
    m_beforeOpen = std::move(hook);
}

void CShelfwardenDoc::SetBeforeClose(std::function<void(CBookDatabase&)> hook) {
    m_beforeClose = std::move(hook);
}

void CShelfwardenDoc::OpenReadOnly(const QString& path) {
    RunBeforeClose();
    ReplaceDatabase();
    OpenAdvice advice;
    advice.readOnly = true;
    Open(QFile::encodeName(path).toStdString(), advice);
    emit CatalogueChanged();
}

void CShelfwardenDoc::ReopenAfter(const std::function<void(const std::string&)>& whileClosed) {
    const std::string path = m_pDatabase->GetPath();
    const bool readOnly = m_bReadOnly;
    ReplaceDatabase();
    whileClosed(path);
    OpenAdvice advice;
    advice.readOnly = readOnly;
    Open(path, advice);
    emit CatalogueChanged();
}

bool CShelfwardenDoc::OnSaveDocument(const QString& path) {
    const std::string target = QFile::encodeName(path).toStdString();
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
    m_bReadOnly = false;
    emit CatalogueCopied();
    return true;
}

void CShelfwardenDoc::OnCloseDocument() {
    RunBeforeClose();
    if (m_pDatabase->IsOpen()) {
        m_pDatabase->Close();
    }
    m_bReadOnly = false;
    emit CatalogueChanged();
}

bool CShelfwardenDoc::IsReadOnly() const {
    return m_bReadOnly && m_pDatabase->IsOpen();
}

QString CShelfwardenDoc::GetTitle() const {
    const QString path = GetPathName();
    return path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}

QString CShelfwardenDoc::MarkReadOnly(const QString& name) const {
    return IsReadOnly() ? name + QStringLiteral(" (doar citire)") : name;
}

QString CShelfwardenDoc::GetPathName() const {
    return m_pDatabase->IsOpen() ? QFile::decodeName(m_pDatabase->GetPath().c_str()) : QString();
}
