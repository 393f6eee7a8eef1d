// CFileChecklistDialog: a command's files as a check list. The caller's files start checked, the other
// candidates unchecked; after OK the rows are split back into the checked and the unchecked set. The
// multi-file command shows it as it is; check-in and check-out derive from it.
#ifndef CORVEL_FILE_CHECKLIST_DIALOG_H
#define CORVEL_FILE_CHECKLIST_DIALOG_H

#include "AfxControls.h"
#include "AfxDialog.h"
#include "CheckListBox.h"
#include "PathSets.h"
#include "SlicedListFill.h"
#include "TaskThread.h"
#include "frame/AdvancedOptions.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CFileChecklistDialog : public CDialog {
public:
    CFileChecklistDialog(const std::set<std::string>& files, const std::set<std::string>& otherFiles,
                         CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CFileChecklistDialog() override;

    INT_PTR DoModal() override;
    // After OK: the paths of the rows that were checked, handed over; the dialog keeps none of them.
    std::set<std::string> TakeCheckedFiles() { return std::move(m_checkedFiles); }
    // The template this dialog is built from.
    virtual UINT GetDialogId() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnAdvanced();
    void OnSelChangeFileList();
    void OnSelectAll();
    void OnDestroy();
    void OnCancel() override;

    CButton m_btnAdvanced;
    CCheckListBox m_checkList;
    std::set<std::string> m_checkedFiles;
    std::set<std::string> m_uncheckedFiles;
    CSCCAbstractGetCommandOptionsFunctionoid* m_pAdvancedOptions;

private:
    // Copies the caller's sets into the dialog's own: the files checked, the other candidates unchecked.
    // False when `abandon` was set half-way; the copies are then incomplete and must not be used.
    bool CopyGivenSets(const std::atomic<bool>* abandon);
    // A list sure to be long has its copies made on a thread from the start of the call.
    void StartCopyingAside();
    // The copies, made here or aside; false as for CopyGivenSets.
    bool TakeCopies(const std::atomic<bool>* abandon);
    // Fills the list: at once when it is short, else while the dialog is up (SlicedListFill.h).
    void FillList();
    // The rows' order, needed before the first row goes in; on any thread.
    void PlanOrder(LCID locale, const std::atomic<bool>* stop);
    // The widest text as drawn and the paths with hidden characters; on any thread, while rows arrive.
    void MeasureTexts(HFONT font, const std::atomic<bool>* stop);
    void ApplyMeasures();
    // Appends the rows in places [from, to) of the order.
    void AppendRows(size_t from, size_t to);
    void StartSlicedFill(size_t total);
    // The line above the list is gone.
    void GiveRoomBack();
    void EndSlicedFill();
    // Splits the rows back into the two sets by the marks they had when the list went.
    void CollectRows();

    // The row of each path (-1: none), the checked set's paths in their order, then the unchecked set's.
    // Closing walks the sets in their own order and moves only the paths whose marks changed, so every
    // path comes back as the caller's own bytes.
    std::vector<int> m_rowOfPath;
    // The caller's sets, borrowed for the call: a long list's copies are made on the fill's thread, so
    // that the dialog shows without waiting for them.
    const std::set<std::string>* m_pGivenFiles;
    const std::set<std::string>* m_pGivenOtherFiles;
    // Started as the dialog is made, asked for as the list is set up.
    CRowCount m_rowCount;
    // Cancel: copying the sets is of no more use.
    std::atomic<bool> m_abandonCopy{false};
    CTaskThread m_copyAside;
    bool m_copiedAside = false;
    bool m_rowsCutAtNul = false; // some path holds a NUL, so its row shows it only up to there

    // While the list fills: every path's text, the checked set's first, the rows' order (four bytes a
    // row: it lives until the last row is in, when the list holds every text too), the widest text as
    // drawn and how many paths hold hidden or direction-changing characters.
    std::vector<const char*> m_texts;
    std::vector<std::uint32_t> m_order;
    int m_widest = 0;
    int m_flagged = 0;
    std::unique_ptr<CSlicedListFill> m_slicedFill;
    int m_progressHeight = 0; // what the list gave up for the line above it

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_FILE_CHECKLIST_DIALOG_H
