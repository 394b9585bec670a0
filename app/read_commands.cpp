// The read commands of the main window: the loading itself is the jobs
// library's, so that the exports see what was read; here the window's
// buttons follow what got loaded.
#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"

#include "app/main_form.h"
#include "app/main_tool.h"
#include "framework/world.h"
#include "platform/user_interaction.h"

namespace {
void enableAreaExports(TMainForm& form, bool on) {
  for (QPushButton* b : {form.btExpPlochPSk, form.btExpDil, form.btExpZRO, form.btExpOdd, form.btExpRev,
                         form.btExpBezLes, form.btExpOstatni, form.btExpJP, form.btVse})
    b->setEnabled(on);
}
void enableLineExports(TMainForm& form, bool on) {
  for (QPushButton* b : {form.btExportCest, form.btExportPruseku, form.btExportVod}) b->setEnabled(on);
}
}  // namespace

void TMainTool::ReadLhcLines() {
  TMainForm* form = MainForm();
  if (!form) return;
  enableLineExports(*form, false);
  enableAreaExports(*form, false);
  if (jobs::ReadLhcLines(state_, form->Directory())) enableLineExports(*form, true);
}

void TMainTool::LoadLineBlock(const std::string& block) { jobs::LoadLineBlock(state_, block); }

void TMainTool::ReplaceObjectModel() { jobs::RenewObjectModel(state_); }

void TMainTool::ReadDistrict() {
  TMainForm* form = MainForm();
  if (!form) return;
  enableLineExports(*form, false);
  enableAreaExports(*form, false);
  if (!form->DET->isChecked()) {
    ReplaceObjectModel();
    jobs::Refuse([this](const std::string& line) { SetProtocol(line); }, jobs::DistrictReadJob(form->Directory()),
                 jobs::NoDetBlockText(form->Directory()));
    return;
  }
  if (jobs::ReadDistrict(state_, form->Directory())) enableAreaExports(*form, true);
}

void TMainTool::BuildForestHierarchy() { jobs::BuildForestHierarchy(state_); }

void TMainTool::SelectLinesIntoHierarchy() { jobs::SelectLinesIntoHierarchy(state_); }

void TMainTool::ExploreSubjectOfInterest() {
  if (!SubjectOfInterest()) {
    ShowError("Není načten předmět zájmu");
    return;
  }
  ExploreElement(SubjectOfInterest());
}
