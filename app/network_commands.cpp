// The main tool's commands of the LHC's networks and layers and the check
// buttons: each reads the main window and hands over to its job.
#include <QString>
#include <optional>
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

void TMainTool::RunLineJob(int code) {
  TMainForm* form = MainForm();
  if (!form) return;
  const platform::PathResolver& paths = platform::pathResolver();
  jobs::LineJobContext context;
  context.Model = &state_;
  context.LhcDirectory = paths.forWriting(form->lbLHC->text().toStdString()).string();
  context.GisRoot = paths.existing(std::string(1, TMainForm::DriveOf(form->dcbQVR)) + ":\\GIS").string();
  context.Log = [this](const std::string& text) { SetProtocol(text); };
  if (code == 89) jobs::ExportAllLineKinds(context);
  else if (code == 90) jobs::NodeWaterLines(context);
  else if (code == 91) jobs::NodeCommunicationLines(context);
  else if (const jobs::LineKind* kind = jobs::FindLineKind(code)) jobs::ExportLinesByDruh(context, *kind);
}

void TMainTool::MergeLhc(int code) {
  TMainForm* form = MainForm();
  if (!form) return;
  const platform::PathResolver& paths = platform::pathResolver();
  jobs::LhcMergeContext context;
  context.Model = &state_;
  context.LhcDirectory = paths.forWriting(form->lbLHC->text().toStdString()).string();
  context.GisRoot = paths.existing(std::string(1, TMainForm::DriveOf(form->dcbQVR)) + ":\\GIS").string();
  context.JoinLines = form->cbJoinExpLHC->isChecked();
  const std::optional<jobs::DetKinds> kinds =
      jobs::CheckedDetKinds(settings_.DruhPorostniSkupiny, settings_.DruhPrazdnePlochy);
  // A kind out of range would file areas under a kind nobody asked for.
  if (!kinds) return;
  context.Kinds = *kinds;
  context.DisableReadButtons = [] {
    if (TMainForm* f = MainForm()) {
      f->btCtiRevir->setEnabled(false);
      f->btLHC->setEnabled(false);
    }
  };
  context.Log = [this](const std::string& text) { SetProtocol(text); };
  jobs::MergeLhcLayer(context, code == 117 ? jobs::LhcZroLayer() : jobs::LhcLayer());
}

void TMainTool::CheckExportedLayer(TZeltoMessage* message) {
  TMainForm* form = MainForm();
  if (!form || !message->Data()) return;
  SetDataDirectory(form->Directory());
  const detgis::GroupLimits limits{settings_.SpodniMezBezlesi, settings_.SpodniMezJine, settings_.SpodniMezOstatni};
  jobs::CheckExportedLayer(message->Data()->GetName(), form->Directory(), form->lbRevir->text().toStdString(),
                           [&](const jobs::LayerComparison& comparison) {
                             TKompDETGISForm window(limits, {}, MainFormWidget());
                             window.Open(comparison.LevelCode, comparison.DetTable, comparison.GisTable,
                                         comparison.AllLevels);
                             window.exec();
                           });
}
