// The main tool's commands of the LHC's networks and layers and the check
// buttons: each reads the main window and hands over to its job.
#include <QString>
#include <string>

#include "app/det_gis_form.h"
#include "app/jobs/det_gis_check.h"
#include "app/jobs/forest_level_export.h"
#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "app/main_form.h"
#include "app/main_tool.h"
#include "framework/zelto_message.h"
#include "platform/path_resolver.h"

namespace {
// The job's name in the protocol when the window's codes refuse it.
std::string JobName(int code) {
  switch (code) {
    case 86: return "Export linií 2100";
    case 87: return "Export linií 2200";
    case 88: return "Export linií 3100";
    case 89: return "Export linií 2100, 2200, 3100";
    case 90: return "Uzlování vod";
    case 91: return "Uzlování komunikací";
    case 104: return jobs::LhcLayer().Marker;
    default: return jobs::LhcZroLayer().Marker;
  }
}
}  // namespace

void TMainTool::RunLineJob(int code) {
  TMainForm* form = MainForm();
  if (!form) return;
  jobs::LineJobContext context;
  context.Model = &state_;
  // As the user chose them: the blocks, their texts and the protocol name
  // them so, and the jobs resolve them where they touch the disk.
  context.LhcDirectory = form->lbLHC->text().toStdString();
  context.GisRoot = GisRoot();
  context.Log = [this](const std::string& text) { SetProtocol(text); };
  if (const std::string problem = form->OutputCodeProblem(); !problem.empty()) {
    jobs::Refuse(context.Log, JobName(code), problem);
    return;
  }
  if (code == 89) jobs::ExportAllLineKinds(context);
  else if (code == 90) jobs::NodeWaterLines(context);
  else if (code == 91) jobs::NodeCommunicationLines(context);
  else if (const jobs::LineKind* kind = jobs::FindLineKind(code)) jobs::ExportLinesByDruh(context, *kind);
}

void TMainTool::MergeLhc(int code) {
  TMainForm* form = MainForm();
  if (!form) return;
  jobs::LhcMergeContext context;
  context.Model = &state_;
  context.LhcDirectory = form->lbLHC->text().toStdString();
  context.GisRoot = GisRoot();
  context.JoinLines = form->cbJoinExpLHC->isChecked();
  context.Log = [this](const std::string& text) { SetProtocol(text); };
  std::string problem = form->OutputCodeProblem();
  // A kind that could not be read would file areas under a kind nobody asked for.
  if (problem.empty()) problem = settings_.Errors;
  if (!problem.empty()) {
    jobs::Refuse(context.Log, JobName(code), problem);
    return;
  }
  context.Kinds = StartKinds();
  context.DisableReadButtons = [] {
    if (TMainForm* f = MainForm()) {
      f->btCtiRevir->setEnabled(false);
      f->btLHC->setEnabled(false);
    }
  };
  jobs::MergeLhcLayer(context, code == 117 ? jobs::LhcZroLayer() : jobs::LhcLayer());
}

void TMainTool::CheckExportedLayer(TZeltoMessage* message) {
  TMainForm* form = MainForm();
  if (!form || !message->Data()) return;
  SetDataDirectory(form->Directory());
  const detgis::GroupLimits limits{settings_.SpodniMezBezlesi, settings_.SpodniMezJine, settings_.SpodniMezOstatni};
  std::string refusal = form->OutputCodeProblem();
  // The comparison groups its rows by the limits read at start.
  if (refusal.empty()) refusal = settings_.Errors;
  jobs::CheckExportedLayer(
      message->Data()->GetName(), form->Directory(), form->lbRevir->text().toStdString(),
      [&](const jobs::LayerComparison& comparison) {
        TKompDETGISForm window(limits, {}, MainFormWidget());
        window.Open(comparison.LevelCode, comparison.DetTable, comparison.GisTable, comparison.AllLevels);
        window.exec();
      },
      refusal);
}
