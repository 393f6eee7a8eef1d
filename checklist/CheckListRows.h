// CCheckListRows: what a check list's rows add up to, apart from the list box that holds them: how many
// are checked and how many hold hidden characters; while a long list fills in slices, the rows still to
// come and the mark each will arrive with after the actions on every row so far, and whether they arrive
// selected; and the marks the rows had when the list went.
#ifndef CORVEL_CHECK_LIST_ROWS_H
#define CORVEL_CHECK_LIST_ROWS_H

#include <functional>
#include <vector>

class CCheckListRows {
public:
    enum class BulkMark { kCheck, kUncheck, kInvert };

    // A row in the list box changed its mark from `was` to `now` (0 or 1).
    void MarkChanged(int was, int now) { m_checked += now - was; }
    void RowRemoved(bool checked, bool flagged);
    void Clear();
    // The checked rows, arrived or not.
    int Checked() const { return m_checked + PendingChecked(); }
    int Flagged() const { return m_flagged; }
    void SetFlagged(int count) { m_flagged = count; }

    // Rows still to come: `count` of them, `checkedAmongThem` starting checked; `complete` brings them
    // all in at once.
    void BeginPending(int count, int checkedAmongThem, std::function<void()> complete);
    int Pending() const { return m_pending; }
    // The mark a row not yet arrived has now: its initial mark, kept or not, then flipped or not.
    int PendingMark(bool initiallyChecked) const { return (initiallyChecked && m_keep) != m_flip; }
    // The next row has arrived.
    void Arrived(bool initiallyChecked);
    // Every row is being marked: the rows to come too.
    void MarkEveryRow(BulkMark how);
    bool SelectArriving() const { return m_selectArriving; }
    void SetSelectArriving(bool select) { m_selectArriving = select && m_pending > 0; }
    void CompletePending();
    void EndPending();

    // The marks the rows had when the window was destroyed, in row order; empty until then.
    std::vector<char>& FinalMarks() { return m_finalMarks; }
    const std::vector<char>& FinalMarks() const { return m_finalMarks; }

private:
    int PendingChecked() const;

    int m_checked = 0;
    int m_flagged = 0;
    int m_pending = 0;
    int m_pendingInitiallyChecked = 0;
    bool m_keep = true;
    bool m_flip = false;
    bool m_selectArriving = false;
    std::function<void()> m_complete;
    std::vector<char> m_finalMarks;
};

#endif // CORVEL_CHECK_LIST_ROWS_H
