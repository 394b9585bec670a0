#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "framework/string_list.h"
#include "framework/technology.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "platform/codepage.h"
#include "script/command_line.h"
#include "tests/script/script_test_support.h"
#include "files.h"
#include "temp_dir.h"

// A main tool that notes the codes it receives.
class TNotingMainTool : public TTechnology {
  ZELTO_ELEMENT(TNotingMainTool)
 public:
  std::vector<int> codes;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    codes.push_back(message->Message);
    handled = true;
  }
};

// Answers "<input name>:<First>:<Second>"; First and Second are also its
// positional parameters.
class TEcho : public TResultTool {
  ZELTO_ELEMENT(TEcho)
 public:
  std::string First, Second;
  std::string GetParameterName(int index) override { return index == 0 ? "First" : index == 1 ? "Second" : ""; }
  void DoIt() override {
    TResultTool::DoIt();
    Result = (Input() ? Input()->GetName() : std::string("-")) + ":" + First + ":" + Second;
  }
};

ZELTO_IMPLEMENT_ELEMENT(TNotingMainTool, TTechnology, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TEcho, TResultTool, [](auto& p) {
  p.String("First", &TEcho::First, &TEcho::First);
  p.String("Second", &TEcho::Second, &TEcho::Second);
})

namespace {

class CommandLine : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    static bool registered = false;
    if (!registered) {
      registered = true;
      RegisterToolClasses();
      RegisterWorldClasses();
      RegisterScriptClasses();
      RegisterZeltoClass(TEcho::StaticClass());
    }
    world = new TWorld();
    SetWorld(world);
    mainTool = new TNotingMainTool();
    world->SetMainTool(mainTool);
    world->InstallMessageHook();
    model = world->GetObjectModel();
    foo = new TExprProbe();
    foo->SetName("Foo");
    world->Add(foo);
    for (const char* name : {"a", "b", "c"}) {
      auto* child = new TExprProbe();
      child->SetName(name);
      model->Add(child);
    }
    line = std::make_unique<TCommandLine>();
    line->ByDDE = true;
  }
  void TearDown() override {
    line.reset();
    zelto::RunMessagesUntilIdle();
    delete world;
    ScriptTest::TearDown();
  }

  // Runs one line and answers its results joined by "|".
  std::string run(const std::string& text) {
    line->SetLine(text);
    line->DoIt();
    std::string joined;
    for (const std::string& result : line->Results()) joined += (joined.empty() ? "" : "|") + result;
    return joined;
  }
  std::string script(const std::string& name, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& text : lines) bytes += platform::fromUtf8(text, platform::CodePage::Windows1250) + "\r\n";
    test_support::WriteFile(directory / name, bytes);
    return (directory / name).string();
  }
  static std::string error2(const std::string& text, const std::string& message) {
    return "ERROR 2: Soubor , řádek.č.1:\r\n\"" + text + "\"\r\r\nChyba: " + message;
  }

  TWorld* world = nullptr;
  TNotingMainTool* mainTool = nullptr;
  TObjectModel* model = nullptr;
  TExprProbe* foo = nullptr;
  std::unique_ptr<TCommandLine> line;
  test_support::TempDir directory{"script"};
};

TEST_F(CommandLine, PathsReadPropertiesChildrenAndLists) {
  EXPECT_EQ(line->GetContext(), world);
  EXPECT_EQ(run("WORLD.Name"), "TWorld");
  EXPECT_EQ(run("world.ObjectModel.Name"), "Object model");
  line->SetContext(model);
  EXPECT_EQ(run("ACTIVEELEMENT.ELEMENT.Name"), "a|b|c");
  EXPECT_EQ(run("ACTIVEELEMENT.b.Pocet"), "7");
  EXPECT_EQ(run("ACTIVEELEMENT.FINDELEMENTBYNAME(c).Label"), "Les");
  EXPECT_EQ(run("ACTIVEELEMENT.FINDELEMENTBYCLASS(ExprProbe).Name"), "a");
  EXPECT_EQ(run("'a constant'"), "a constant");
  EXPECT_EQ(run("\" kept  \""), " kept  ");
  EXPECT_EQ(run("; a comment"), "");
}

TEST_F(CommandLine, AssignmentsAndTheActiveElement) {
  EXPECT_EQ(run("ACTIVEELEMENT = WORLD.Foo"), "");
  EXPECT_EQ(line->GetContext(), foo);
  EXPECT_EQ(run("ACTIVEELEMENT.Name = 'abc'"), "abc");
  EXPECT_EQ(foo->GetName(), "abc");
  EXPECT_EQ(run("ACTIVEELEMENT.Label = abc"), "0");  // a bare word reads a property or child of the context
  EXPECT_EQ(foo->Label, "0");
  EXPECT_EQ(run("ACTIVEELEMENT.Pocet = '12'"), "12");
  EXPECT_EQ(foo->Pocet, 12);
  // A path that ends in a property name assigns its text, a reference number.
  EXPECT_EQ(run("ACTIVEELEMENT.Target = WORLD.ObjectModel"), std::to_string(model->GetHandle()));
  EXPECT_EQ(foo->Target, model);
  foo->Target = nullptr;
  EXPECT_EQ(run("X:TElement"), "0");
  EXPECT_EQ(run("X = WORLD.ObjectModel.FINDELEMENTBYNAME(a)"), "");  // an object: no result line
  EXPECT_EQ(run("ACTIVEELEMENT.Target = X"), "");
  EXPECT_EQ(foo->Target, model->FindElementByName("a"));
  EXPECT_EQ(run("ACTIVEELEMENT = WORLD.ObjectModel.b"), "");
  EXPECT_EQ(line->GetContext()->GetName(), "b");
  // A list on the right is copied into a list object that stays alive.
  EXPECT_EQ(run("WORLD.abc.Target = WORLD.ObjectModel.ELEMENT.Name"), "a|b|c");
  ASSERT_NE(dynamic_cast<TStringListElement*>(foo->Target), nullptr);
  EXPECT_EQ(static_cast<TStringListElement*>(foo->Target)->GetItemValue(2), "c");
  line->SetContext(model);
  EXPECT_EQ(run("ACTIVEELEMENT.ELEMENT.Label = 'vse'"), "vse");
  for (TElement* child : model->Items()) EXPECT_EQ(static_cast<TExprProbe*>(child)->Label, "vse");
}

TEST_F(CommandLine, VariablesHoldElements) {
  EXPECT_EQ(run("X:TElement"), "0");
  EXPECT_EQ(run("X = WORLD"), "");
  EXPECT_EQ(run("X.Name"), "TWorld");
  EXPECT_EQ(run("x.Name"), "TWorld");
  EXPECT_EQ(line->GetActualVar()->GetName(), "X");
  // A reference number as text names the element.
  EXPECT_EQ(run("X = '" + std::to_string(foo->GetHandle()) + "'"), std::to_string(foo->GetHandle()));
  EXPECT_EQ(run("X.Name"), "Foo");
  EXPECT_EQ(run("Y:TNoSuchClass"), error2("Y:TNoSuchClass", "Neexistující třída: TNoSuchClass"));
}

TEST_F(CommandLine, MethodsCreateAndRunTools) {
  line->SetContext(model);
  EXPECT_EQ(run("ACTIVEELEMENT.CREATEELEMENT(ExprProbe, P1).P1.Pocet"), "7");
  ASSERT_NE(model->FindElementByName("P1"), nullptr);
  EXPECT_EQ(run("ACTIVEELEMENT.P1.ECHO('x', Second:'y')"), "P1:x:y");
  EXPECT_EQ(run("ACTIVEELEMENT.Echo(, 'one' , 'two')"), "Object model:one:two");
  EXPECT_EQ(run("ECHO(raw::text)"), "Object model:raw::text:");
  EXPECT_EQ(run("E:TElement"), "0");
  EXPECT_EQ(run("E = ACTIVEELEMENT.CREATE(Echo, E1)"), "");
  EXPECT_EQ(run("E.Name"), "E1");
  EXPECT_EQ(model->FindElementByName("E1"), nullptr);
  EXPECT_EQ(run("E.FREE()"), "");
  EXPECT_EQ(run("ACTIVEELEMENT.NOSUCH()"), error2("ACTIVEELEMENT.NOSUCH()", "chybná funkce: NOSUCH"));
  EXPECT_EQ(run("WORLD.ObjectModel.DOIT()"),
            error2("WORLD.ObjectModel.DOIT()", "Objekt na pozici 23 není Tool"));
  EXPECT_EQ(run("WORLD.FINDELEMENTBYNAME(Foo"),
            error2("WORLD.FINDELEMENTBYNAME(Foo", "Syntaktická chyba - na pozici 27 očekávám \" )\""));
  EXPECT_EQ(run("WORLD.FINDELEMENTBYNAME(Foo)(x)"),
            error2("WORLD.FINDELEMENTBYNAME(Foo)(x)",
                   "Syntaktická chyba - na pozici 29 očekávám očekávám \".\" nebo nic"));
  run("WORLD.CLOSE()");
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(mainTool->codes, std::vector<int>{2});
}

TEST_F(CommandLine, ErrorsGoToTheResultsOrToABox) {
  EXPECT_EQ(run("ACTIVEELEMENT"), "ERROR 3: Chyba .. nastavení aktivního elementu: ACTIVEELEMENT");
  EXPECT_EQ(run("ACTIVEELEMENT = WORLD.Nic"), "ERROR 5: Chyba .. Nemohu nalézt objekt Nic");
  EXPECT_EQ(run("ACTIVEELEMENT = WORLD.ObjectModel.ELEMENT.Name"),
            "ERROR 4: Chyba .. jako aktivní element nelze přiřadit seznam (klíčové slovo ELEMENT nahraďte "
            "názvem property): ACTIVEELEMENT = WORLD.ObjectModel.ELEMENT.Name");
  EXPECT_EQ(run("WORLD = 'x'"), "x|ERROR 9: Chyba .. Chybný objekt nebo properta na levé straně výrazu : WORLD = 'x'");
  run("X:TElement");
  EXPECT_EQ(run("WORLD.Name = X"), "ERROR 6: výsledný objekt na pravé straně výrazu je chybný WORLD.Name = X");
  line->ByDDE = false;
  run("WORLD.Nic.Name");
  EXPECT_EQ(ui->shownTexts(),
            std::vector<std::string>{"Soubor , řádek.č.1:\r\n\"WORLD.Nic.Name\"\r\r\nChyba: Nemohu nalézt element Nic"});
}

TEST_F(CommandLine, ScriptsWithCommentBlocksAndCalls) {
  const std::string called = script("called.txt", {"ACTIVEELEMENT.Label = 'volano'"});
  line->SetContext(foo);
  line->SetNextLine("; comment");
  line->SetNextLine("* switched off");
  line->SetNextLine("ACTIVEELEMENT.Pocet = '1'");
  line->SetNextLine("*");
  line->SetNextLine("");
  line->SetNextLine("ACTIVEELEMENT.Name = 'Žluťák'");
  line->SetNextLine("ACTIVEELEMENT.CALL(" + called + ")");
  line->DoIt();
  EXPECT_EQ(foo->Pocet, 7);
  EXPECT_EQ(foo->GetName(), "Žluťák");
  EXPECT_EQ(foo->Label, "volano");
  EXPECT_EQ(line->GetLineIndex(), 0);
  EXPECT_EQ(line->GetLine(), "");

  auto fromFile = std::make_unique<TCommandLine>();
  fromFile->SetContext(foo);
  fromFile->SetFileName(script("main.txt", {"ACTIVEELEMENT.Label = 'ze souboru'"}));
  fromFile->DoIt();
  EXPECT_EQ(foo->Label, "ze souboru");
  fromFile->ByDDE = true;
  fromFile->SetFileName("missing.txt");
  fromFile->DoIt();
  EXPECT_EQ(fromFile->FirstResult(), "ERROR 1: Skriptový soubor missing.txt nenalezen !");
  // A script whose read fails (a share gone mid-way; /proc/self/mem fails
  // so from its first byte) is told, not run as far as it was read.
  const std::string unreadable = (directory / "unreadable.txt").string();
  std::filesystem::create_symlink("/proc/self/mem", unreadable);
  auto cut = std::make_unique<TCommandLine>();
  cut->ByDDE = true;
  cut->SetFileName(unreadable);
  cut->DoIt();
  EXPECT_EQ(cut->FirstResult().rfind("ERROR 1: Skriptový soubor " + unreadable + " nelze přečíst: ", 0), 0u)
      << cut->FirstResult();
}

TEST_F(CommandLine, CallNestingIsLimited) {
  const std::string path = (directory / "self.txt").string();
  script("self.txt", {"ACTIVEELEMENT.Pocet = '99'", "CALL(" + path + ")"});
  line->SetContext(foo);
  line->ByDDE = false;
  run("CALL(" + path + ")");
  EXPECT_EQ(foo->Pocet, 99);
  // The innermost script reports the limit; every level above goes on.
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_NE(ui->shownTexts()[0].find("příliš mnoho vnořených skriptů"), std::string::npos);
}

TEST_F(CommandLine, SmartModeRunsOneLinePerMessage) {
  line->SetContext(foo);
  line->SmartMode = true;
  for (const char* text : {"ACTIVEELEMENT.Pocet = '1'", "", "ACTIVEELEMENT.Pocet = '2'", "ACTIVEELEMENT.Label = 'konec'"})
    line->SetNextLine(text);
  line->DoIt();
  EXPECT_TRUE(line->GetBusy());
  EXPECT_EQ(foo->Pocet, 7);
  zelto::ProcessPendingMessages();
  EXPECT_EQ(foo->Pocet, 1);
  zelto::ProcessPendingMessages();
  EXPECT_EQ(foo->Pocet, 2);
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(foo->Label, "konec");
  EXPECT_FALSE(line->GetBusy());
  EXPECT_EQ(mainTool->codes, std::vector<int>{3});

  // A failing line ends the script; the end is still announced.
  line->SetFileName("");
  for (const char* text : {"WORLD.Nic.Name", "ACTIVEELEMENT.Pocet = '3'"}) line->SetNextLine(text);
  line->DoIt();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(foo->Pocet, 2);
  EXPECT_FALSE(line->GetBusy());
  EXPECT_EQ(mainTool->codes, (std::vector<int>{3, 3}));
}

TEST_F(CommandLine, ReferencesFromTextResolveOnlyToLivingElements) {
  line->SetContext(foo);
  // A published number is a value, never an element.
  EXPECT_EQ(run("ACTIVEELEMENT.Pocet.Name"),
            error2("ACTIVEELEMENT.Pocet.Name", "Nemohu nalézt element Pocet"));
  EXPECT_EQ(run("X:TElement"), "0");
  EXPECT_EQ(run("X = '987654'"), "987654|ERROR 8: Chyba .. objekt na pravé straně výrazu není element: X = '987654'");
  EXPECT_EQ(run("X = 'abc'"), "abc|ERROR 8: Chyba .. objekt na pravé straně výrazu není element: X = 'abc'");
  // The value text of a child is its reference, which leads back to it.
  line->SetContext(model);
  const std::string reference = run("ACTIVEELEMENT.b");
  EXPECT_EQ(reference, std::to_string(model->FindElementByName("b")->GetHandle()));
  EXPECT_EQ(run("X = '" + reference + "'"), reference);
  EXPECT_EQ(run("X.Name"), "b");
}

TEST_F(CommandLine, FreeRefusesTheWorldAndTheRunningLineAndUnlinksTheRest) {
  EXPECT_EQ(run("WORLD.FREE()"), error2("WORLD.FREE()", "FREE: objekt TWorld nelze uvolnit"));
  EXPECT_EQ(run("SELF.FREE()"), error2("SELF.FREE()", "FREE: objekt TCommandLine nelze uvolnit"));
  // An element listed in two containers leaves both.
  TElement* b = model->FindElementByName("b");
  foo->Add(b);
  line->SetContext(b);
  EXPECT_EQ(run("ACTIVEELEMENT.FREE()"), "");
  EXPECT_EQ(model->GetCount(), 2);
  EXPECT_EQ(foo->GetCount(), 0);
  // The freed context gives way to the world.
  EXPECT_EQ(line->GetContext(), world);
  EXPECT_EQ(run("ACTIVEELEMENT.Name"), "TWorld");
  // The world keeps its registry and main tool, and starts a new object model
  // when the old one is freed.
  EXPECT_EQ(run("WORLD.ObjectClasses.FREE()"), error2("WORLD.ObjectClasses.FREE()", "FREE: objekt ObjectClasses nelze uvolnit"));
  EXPECT_EQ(run("WORLD.MainTool.FREE()"), error2("WORLD.MainTool.FREE()", "FREE: objekt TNotingMainTool nelze uvolnit"));
  // One that keeps no owner list leaves the entity the path reached it through.
  auto* plain = new TNameElement();
  plain->SetName("Plain");
  model->Add(plain);
  EXPECT_EQ(run("WORLD.ObjectModel.Plain.FREE()"), "");
  EXPECT_EQ(model->FindElementByName("Plain"), nullptr);
  EXPECT_EQ(model->GetCount(), 2);
  // A line that belongs to a technology cannot free it, nor empty it.
  auto* owner = new TTechnology();
  owner->SetName("Owner");
  world->Add(owner);
  auto* inner = new TCommandLine();
  owner->AddTool(inner);
  inner->ByDDE = true;
  inner->SetLine("WORLD.Owner.FREE()");
  inner->DoIt();
  EXPECT_EQ(inner->FirstResult(), error2("WORLD.Owner.FREE()", "FREE: objekt Owner nelze uvolnit"));
  inner->SetLine("SELF.DOIT()");
  inner->DoIt();
  EXPECT_EQ(inner->FirstResult(), error2("SELF.DOIT()", "DOIT: příkazová řádka TCommandLine už běží"));
  inner->SetLine("WORLD.Owner.Tools.FREEALL()");
  inner->DoIt();
  EXPECT_EQ(inner->Results().size(), 1u);
  EXPECT_EQ(owner->ToolCount(), 1);

  // A right side that frees the left side's element leaves nothing to store into.
  model->Add(new TExprProbe());
  EXPECT_EQ(run("WORLD.ObjectModel.TExprProbe.Label = WORLD.ObjectModel.FREEALL()"),
            "ERROR 9: Chyba .. Chybný objekt nebo properta na levé straně výrazu : "
            "WORLD.ObjectModel.TExprProbe.Label = WORLD.ObjectModel.FREEALL()");
  // A line whose assignment frees the line itself stops there quietly.
  auto* held = new TCommandLine();
  model->Add(held);
  const platform::Handle heldHandle = held->GetHandle();
  for (const char* text : {"X:TElement", "X = WORLD.CREATE(ObjectModel, novy)", "WORLD.ObjectModel = X",
                           "WORLD.Name = 'never'"})
    held->SetNextLine(text);
  held->DoIt();
  EXPECT_EQ(TElement::FromHandle(heldHandle), nullptr);
  EXPECT_EQ(world->GetObjectModel()->GetName(), "novy");
  model = world->GetObjectModel();

  const platform::Handle oldModel = model->GetHandle();
  EXPECT_EQ(run("WORLD.ObjectModel.FREE()"), "");
  EXPECT_EQ(TElement::FromHandle(oldModel), nullptr);
  EXPECT_EQ(run("WORLD.ObjectModel.Count"), "0");
}

}  // namespace
