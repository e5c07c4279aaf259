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
  // While the list converts, its rows name the files being written.
  if (!GroupEnabled(TCommandGroup::Remove)) return;
  ctl::TListItem* it = lvFiles->Selected();
  if (!it) {
    if (hintWithoutSelection) ShowHint("请先选中您需要重命名的项目！");
    return;
  }
  ctl::TListColumns* cols = lvFiles->Columns();
  edt->SetParent(lvFiles);
  const int left = cols->Items(0)->Width() + lvFiles->Left() + cols->Items(1)->Width() + cols->Items(2)->Width() + 2;
  // The left edge counts the list's own offset, so the column's width would
  // reach into the next column: the editor ends where column 3 ends.
  const int right = lvFiles->ColumnLeft(3) - lvFiles->ScrollX() + cols->Items(3)->Width();
  edt->SetBounds(left, it->Top(), std::max(right - left, 24), std::max(lvFiles->RowHeight(), 16));
  edt->SetText(ChangeFileExt(ExtractFileName(filesPort_->Cell(it->Index(), colOutputFile)), ""));
  edt->SetVisible(true);
  edt->BringToFront();
  if (edt->CanFocus()) edt->SetFocus();
  edt->SelectAll();
}

void TForm1::bsSkinButton21Click() { StartRename(true); }
void TForm1::N26Click() { StartRename(true); }
void TForm1::lvFilesDblClick() { StartRename(false); }

void TForm1::edtExit() {
  const std::string ext = Logic->CurrentFormatExtension();
  const std::string text = edt->Text();
  // An empty name keeps the old one; a name with a folder separator would
  // write outside the output folder. Either way the editor stays for a fix.
  if (text.empty() || text.find('/') != std::string::npos) return;
  const int row = filesPort_->Selected();
  if (row < 0) return;
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
  edt->SetVisible(false);
  const int slot = filesPort_->RowSlot(row) >= 0 ? filesPort_->RowSlot(row) : row;
  if (slot >= 0 && slot < TJobSlots::kCount)
    JobSlots[slot].OO1.FileName = Video_OutPut_Folder_Edit->Text() + "/" + filesPort_->Cell(row, colOutputFile);
}

// --- moving ---------------------------------------------------------------------

void TForm1::MoveSelectedRow(int step) {
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
  edt->SetVisible(false);
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
  edt->SetVisible(false);
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
