#include "CheckListRows.h"

#include <utility>

void CCheckListRows::RowRemoved(bool checked, bool flagged) {
    if (checked)
        --m_checked;
    if (flagged && m_flagged > 0)
        --m_flagged;
}

void CCheckListRows::Clear() {
    m_checked = 0;
    m_flagged = 0;
}

void CCheckListRows::BeginPending(int count, int checkedAmongThem, std::function<void()> complete) {
    m_pending = count;
    m_pendingInitiallyChecked = checkedAmongThem;
    m_keep = true;
    m_flip = false;
    m_selectArriving = false;
    m_complete = std::move(complete);
}

int CCheckListRows::PendingChecked() const {
    if (!m_keep)
        return m_flip ? m_pending : 0;
    return m_flip ? m_pending - m_pendingInitiallyChecked : m_pendingInitiallyChecked;
}

void CCheckListRows::Arrived(bool initiallyChecked) {
    --m_pending;
    if (initiallyChecked)
        --m_pendingInitiallyChecked;
}

void CCheckListRows::MarkEveryRow(BulkMark how) {
    if (m_pending <= 0)
        return;
    m_flip = how == BulkMark::kInvert ? !m_flip : how == BulkMark::kCheck;
    m_keep = m_keep && how == BulkMark::kInvert;
}

void CCheckListRows::CompletePending() {
    if (m_pending > 0 && m_complete)
        m_complete();
}

void CCheckListRows::EndPending() {
    m_pending = 0;
    m_selectArriving = false;
    m_complete = nullptr;
}
