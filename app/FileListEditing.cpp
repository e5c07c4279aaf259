// Editing the file list: renaming a row's output in place, moving rows,
// removing one row and clearing the list, with the conversion component's
// tasks, the job slots and the command states kept in step.
#include <algorithm>

#include "app/JobParams.h"
#include "app/MainForm.h"
#include "platform/rtl/format.h"

namespace {

// The row's task number; 0 when the column holds no number.
int TaskNumberOf(const std::string& text) {
  try {
    return rtl::StrToInt(text);
  } catch (const rtl::Exception&) {
    return 0;
  }
}

}  // namespace

void TForm1::ShowHint(const std::string& text) {
  if (Services().InfoBox)
    Services().InfoBox(text);
  else
    Log(text);
}

// --- renaming -------------------------------------------------------------------

void TForm1::StartRename(bool hintWithoutSelection) {
  ctl::TListItem* it = lvFiles->Selected();
  if (!it) {
    if (hintWithoutSelection) ShowHint("请先选中您需要重命名的项目！");
    return;
  }
  renameRow_ = it->Index();
  ctl::TListColumns* cols = lvFiles->Columns();
  edt->SetParent(lvFiles);
  // Over the whole output cell, in the list's own colours and font, so the
  // name is edited where it stands in every skin.
  const int left = lvFiles->ColumnLeft(3) - lvFiles->ScrollX();
  edt->SetBounds(left, it->Top(), std::max(cols->Items(3)->Width(), 24), std::max(lvFiles->RowHeight(), 16));
  edt->SetColor(lvFiles->Color());
  edt->Font()->Assign(*lvFiles->Font());
  edt->SetText(ChangeFileExt(ExtractFileName(filesPort_->Cell(renameRow_, colOutputFile)), ""));
  edt->SetVisible(true);
  edt->BringToFront();
  if (edt->CanFocus()) edt->SetFocus();
  edt->SelectAll();
}

void TForm1::bsSkinButton21Click() { StartRename(true); }
void TForm1::N26Click() { StartRename(true); }
void TForm1::lvFilesDblClick() { StartRename(false); }

void TForm1::edtExit() { CommitRename(); }

bool TForm1::CommitRename() {
  const std::string ext = Logic->CurrentFormatExtension();
  const std::string text = edt->Text();
  // An empty name keeps the old one; a name with a folder separator would
  // write outside the output folder. Either way the editor stays for a fix.
  if (text.empty() || text.find('/') != std::string::npos) return false;
  const int row = renameRow_;
  if (row < 0 || row >= filesPort_->Count()) {
    CancelRename();
    return true;
  }
  // Every row converts into the one output folder: a name another row
  // already holds would have two tasks write one file, so it is numbered.
  const std::string folder = Video_OutPut_Folder_Edit->Text();
  const std::string name =
      ExtractFileName(UniqueOutputName(folder + "/" + text + ext, folder, [&](const std::string& p) {
        const std::string candidate = ExtractFileName(p);
        for (int r = 0; r < filesPort_->Count(); ++r)
          if (r != row && filesPort_->Cell(r, colOutputFile) == candidate) return true;
        return false;
      }));
  filesPort_->SetCell(row, colOutputFile, name);
  CancelRename();
  const int slot = filesPort_->RowSlot(row) >= 0 ? filesPort_->RowSlot(row) : row;
  if (slot >= 0 && slot < TJobSlots::kCount)
    JobSlots[slot].OO1.FileName = Video_OutPut_Folder_Edit->Text() + "/" + filesPort_->Cell(row, colOutputFile);
  return true;
}

void TForm1::CancelRename() {
  renameRow_ = -1;
  edt->SetVisible(false);
}

void TForm1::EndRenameOnSelection() {
  if (!edt->Visible() || renameRow_ == filesPort_->Selected()) return;
  // A name that cannot be taken is dropped with the edit: the editor never
  // stays behind over a row the user has left.
  if (!CommitRename()) CancelRename();
}

// --- moving ---------------------------------------------------------------------

void TForm1::MoveSelectedRow(int step) {
  // The rows change places: the edit ends on the row it was begun on.
  if (edt->Visible() && !CommitRename()) CancelRename();
  const int row = filesPort_->Selected();
  const int other = row + step;
  if (row < 0 || other < 0 || other >= filesPort_->Count()) return;
  ctl::TListItems* items = lvFiles->Items();
  items->BeginUpdate();
  ctl::TListItem* temp = items->Add();
  temp->Assign(items->Item(row));
  items->Item(row)->Assign(items->Item(other));
  items->Item(other)->Assign(temp);
  temp->Delete();
  items->EndUpdate();
  // A running list reports progress by row: the moved files take their
  // tasks with them.
  for (int& r : TaskRows) {
    if (r == row)
      r = other;
    else if (r == other)
      r = row;
  }
  ctl::TListItem* moved = items->Item(other);
  lvFiles->SetSelected(moved);
  moved->SetSelected(true);
  moved->SetFocused(true);
  moved->MakeVisible(false);
  filesPort_->SetFocus();
}

void TForm1::bsSkinButton3Click() { MoveSelectedRow(-1); }
void TForm1::bsSkinButton4Click() { MoveSelectedRow(1); }

// --- removing and clearing --------------------------------------------------------

void TForm1::EditingCommandsEnabled(bool on) {
  SetGroup(TCommandGroup::Remove, on);
  SetGroup(TCommandGroup::Clear, on);
  SetGroup(TCommandGroup::Start, on);
  bsSkinButton2->Invalidate();
}

void TForm1::bsSkinButton7Click() { btnRemoveClick(); }

void TForm1::btnRemoveClick() {
  const int row = filesPort_->Selected();
  if (row < 0) {
    ShowHint("请先选择您需要删除的项目！");
    return;
  }
  const int n = TaskNumberOf(filesPort_->Cell(row, colTaskNumber));
  if (n >= 1 && n <= FFConv->TasksCount()) {
    try {
      FFConv->RemoveTask(n - 1);
    } catch (const std::exception& e) {
      // A working component keeps its tasks, so the row stays with them.
      Log(e.what());
      return;
    }
  }
  CancelRename();
  const int slot = filesPort_->RowSlot(row) >= 0 ? filesPort_->RowSlot(row) : row;
  lvFiles->Items()->Delete(row);
  JobSlots.Delete(slot);
  for (int r = 0; r < filesPort_->Count(); ++r) {
    const int t = TaskNumberOf(filesPort_->Cell(r, colTaskNumber));
    if (t > n) filesPort_->SetCell(r, colTaskNumber, std::to_string(t - 1));
  }
  const int c = filesPort_->Count();
  EditingCommandsEnabled(c > 0);
  filesPort_->SetFocus();
  if (c > 0) {
    ctl::TListItem* first = lvFiles->Items()->Item(0);
    lvFiles->SetSelected(first);
    first->SetSelected(true);
    filesPort_->SetFocus();
  } else {
    ShowEmptyListPicture(true);
    if (StopPreview) StopPreview();
    bsSkinSlider1->SetValue(0);
  }
}

void TForm1::bsSkinButton8Click() { btnClearClick(); }

void TForm1::btnClearClick() {
  try {
    FFConv->ClearTasks();
  } catch (const std::exception& e) {
    // Refused while the tasks run: the rows stay with them.
    Log(e.what());
    return;
  }
  CancelRename();
  lvFiles->Items()->Clear();
  TaskRows.clear();
  SetGroup(TCommandGroup::Add, true);
  bsSkinMenuSpeedButton1->Invalidate();
  EditingCommandsEnabled(false);
  Button15Click();
  ShowEmptyListPicture(true);
  if (StopPreview) StopPreview();
  bsSkinSlider1->SetValue(0);
}
