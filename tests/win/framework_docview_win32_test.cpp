#include "framework/form_view.h"
#include "framework/frame_window.h"
#include "framework/single_doc_template.h"
#include "res/framework_test_resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace qvl::framework {
namespace {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

// Every stop of the route writes what it ran into one shared journal.
using Journal = std::vector<std::string>;

class TestDocument : public Document {
public:
    explicit TestDocument(Journal& journal) : journal_(journal) {
        OnCommand(ID_DOC_DOCUMENT_COMMAND, [this] { journal_.push_back("document"); });
        OnCommand(ID_DOC_VIEW_COMMAND, [this] { journal_.push_back("document took the view's"); });
        OnCommand(ID_DOC_SWITCHED, [this] { journal_.push_back("switched"); });
        OnUpdateCommand(ID_DOC_SWITCHED, [this](CommandUpdate& u) { u.Enable(switchedOn); });
    }
    bool OnNewDocument() override {
        journal_.push_back("new document");
        return accept;
    }
    void OnCloseDocument() override {
        journal_.push_back("close document");
        Document::OnCloseDocument();
    }
    bool switchedOn = false;
    bool accept = true;

private:
    Journal& journal_;
};

class TestFrame : public FrameWindow {
public:
    explicit TestFrame(Journal& journal) : journal_(journal) {
        OnCommand(ID_DOC_FRAME_COMMAND, [this] { journal_.push_back("frame"); });
    }

protected:
    void PreCreateWindow(FrameCreateParams& params) override {
        params.className = "QvlTestFrame";
        params.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        params.width = 400;
        params.height = 300;
    }

private:
    Journal& journal_;
};

class TestView : public FormView {
public:
    explicit TestView(Journal& journal) : FormView(IDD_TEST_FORM), journal_(journal) {
        OnCommand(ID_DOC_VIEW_COMMAND, [this] { journal_.push_back("view"); });
        OnUpdateCommand(ID_DOC_CHECKED, [](CommandUpdate& u) { u.SetCheck(true); });
        OnCommand(ID_DOC_CHECKED, [this] { journal_.push_back("checked"); });
        OnCommand(IDC_FORM_CHECK, [this] { journal_.push_back("check box clicked"); });
    }
    void OnInitialUpdate() override {
        journal_.push_back("initial update");
        FormView::OnInitialUpdate();
    }
    void OnUpdate(View*) override { journal_.push_back("update"); }

private:
    Journal& journal_;
};

class TestApplication : public Application {
public:
    TestApplication(Journal& journal) : Application(Module()), journal_(journal) {
        OnCommand(ID_DOC_APP_COMMAND, [this] { journal_.push_back("application"); });
    }
    int ExitInstance() override {
        journal_.push_back("exit");
        return Application::ExitInstance();
    }

private:
    Journal& journal_;
};

struct DocViewRig {
    Journal journal;
    TestApplication app{journal};
    TestDocument* document = new TestDocument(journal);
    TestFrame* frame = new TestFrame(journal);
    TestView* view = new TestView(journal);
    SingleDocTemplate docTemplate{IDR_DOC_FRAME, std::unique_ptr<Document>(document),
                                  std::unique_ptr<FrameWindow>(frame), std::unique_ptr<View>(view)};

    bool Open() { return docTemplate.OpenNewDocument(app, "Doc Test"); }
    HMENU Popup() const { return GetSubMenu(GetMenu(frame->Handle()), 0); }
    UINT State(UINT id) const { return GetMenuState(Popup(), id, MF_BYCOMMAND); }
    // Drop the WM_QUIT a destroyed main frame posts, so it cannot end another test's loop.
    ~DocViewRig() {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

TEST(FrameworkDocView, ANewDocumentMakesTheFrameAndAFormChildBeforeTheInitialUpdate) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    EXPECT_EQ(rig.journal, (Journal{"new document", "initial update", "update"}));
    EXPECT_EQ(rig.app.MainWindow(), rig.frame);
    char title[64] = {};
    GetWindowTextA(rig.frame->Handle(), title, sizeof title);
    EXPECT_STREQ(title, "Doc Test");

    // The view is the frame's child of class "#32770" with an empty title, and fills its client area.
    HWND panel = FindWindowExA(rig.frame->Handle(), nullptr, "#32770", "");
    EXPECT_EQ(panel, rig.view->ViewHandle());
    RECT client = {}, form = {};
    GetClientRect(rig.frame->Handle(), &client);
    GetClientRect(panel, &form);
    EXPECT_EQ(form.right, client.right);
    EXPECT_EQ(form.bottom, client.bottom);
    EXPECT_EQ(rig.view->GetDocument(), rig.document);
    EXPECT_EQ(rig.frame->GetActiveDocument(), rig.document);
}

TEST(FrameworkDocView, ADocumentThatRefusesToStartLeavesNoWindow) {
    DocViewRig rig;
    rig.document->accept = false;
    EXPECT_FALSE(rig.Open());
    EXPECT_EQ(rig.frame->Handle(), nullptr);
    EXPECT_EQ(rig.app.MainWindow(), nullptr);
    EXPECT_EQ(rig.journal, (Journal{"new document"}));
}

TEST(FrameworkDocView, CommandsGoToTheViewThenTheDocumentThenTheFrameThenTheApplication) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    rig.journal.clear();
    for (UINT id : {ID_DOC_VIEW_COMMAND, ID_DOC_DOCUMENT_COMMAND, ID_DOC_FRAME_COMMAND, ID_DOC_APP_COMMAND})
        SendMessageA(rig.frame->Handle(), WM_COMMAND, id, 0);
    EXPECT_EQ(rig.journal, (Journal{"view", "document", "frame", "application"}));

    // A command sent to the form itself, as another program sends the panel its buttons' commands,
    // takes the same route; a click of a control in the form reaches the view.
    rig.journal.clear();
    SendMessageA(rig.view->ViewHandle(), WM_COMMAND, ID_DOC_APP_COMMAND, 0);
    SendMessageA(rig.view->ViewHandle(), WM_COMMAND, MAKEWPARAM(ID_DOC_VIEW_COMMAND, 1), 0); // accelerator
    SendMessageA(GetDlgItem(rig.view->ViewHandle(), IDC_FORM_CHECK), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.journal, (Journal{"application", "view", "check box clicked"}));
}

TEST(FrameworkDocView, MenuItemsShowWhatTheirUpdateHandlersSayBeforeTheMenuOpens) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    SendMessageA(rig.frame->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(rig.Popup()), 0);
    EXPECT_EQ(rig.State(ID_DOC_VIEW_COMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(rig.State(ID_DOC_APP_COMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(rig.State(ID_DOC_SWITCHED) & MF_GRAYED, 0u);
    EXPECT_NE(rig.State(ID_DOC_NOBODY) & MF_GRAYED, 0u);
    EXPECT_NE(rig.State(ID_DOC_CHECKED) & MF_CHECKED, 0u);
    EXPECT_EQ(rig.State(ID_DOC_VIEW_COMMAND) & MF_CHECKED, 0u);

    rig.document->switchedOn = true;
    SendMessageA(rig.frame->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(rig.Popup()), 0);
    EXPECT_EQ(rig.State(ID_DOC_SWITCHED) & MF_GRAYED, 0u);
}

TEST(FrameworkDocView, ACommandThatShowsDisabledIsNotRunWhenSentAnyway) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    rig.journal.clear();
    SendMessageA(rig.frame->Handle(), WM_COMMAND, ID_DOC_SWITCHED, 0);
    SendMessageA(rig.view->ViewHandle(), WM_COMMAND, ID_DOC_SWITCHED, 0);
    EXPECT_TRUE(rig.journal.empty());
    rig.document->switchedOn = true;
    SendMessageA(rig.frame->Handle(), WM_COMMAND, ID_DOC_SWITCHED, 0);
    EXPECT_EQ(rig.journal, (Journal{"switched"}));
}

TEST(FrameworkDocView, AcceleratorsAreTranslatedExceptForKeysTypedIntoAHotKeyControl) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    rig.journal.clear();
    HWND edit = GetDlgItem(rig.view->ViewHandle(), IDC_FORM_EDIT);
    HWND hotKey = GetDlgItem(rig.view->ViewHandle(), IDC_FORM_HOTKEY);
    MSG key = {edit, WM_KEYDOWN, VK_F5, 0x003F0001, 0, {0, 0}};
    EXPECT_TRUE(rig.frame->PreTranslateMessage(key));
    EXPECT_EQ(rig.journal, (Journal{"view"}));

    // The form may still take the key to its control (as a dialog does), but no command runs.
    key.hwnd = hotKey;
    rig.frame->PreTranslateMessage(key);
    EXPECT_EQ(rig.journal.size(), 1u);
}

TEST(FrameworkDocView, TabMovesBetweenTheFormsControlsAsInADialog) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    ShowWindow(rig.frame->Handle(), SW_SHOW);
    HWND edit = GetDlgItem(rig.view->ViewHandle(), IDC_FORM_EDIT);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    MSG tab = {edit, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    EXPECT_TRUE(rig.view->PreTranslateMessage(tab));
    EXPECT_EQ(GetFocus(), GetNextDlgTabItem(rig.view->ViewHandle(), edit, FALSE));
    EXPECT_NE(GetFocus(), edit);
}

TEST(FrameworkDocView, ClosingTheFrameClosesTheDocumentAndEndsTheLoop) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    HWND frame = rig.frame->Handle();
    rig.journal.clear();
    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(rig.journal, (Journal{"close document"}));
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(rig.frame->Handle(), nullptr);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(FrameworkDocView, TheEndOfTheSessionClosesTheDocumentAndExitsOnce) {
    DocViewRig rig;
    ASSERT_TRUE(rig.Open());
    rig.journal.clear();
    SendMessageA(rig.frame->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(rig.journal, (Journal{"close document", "exit"}));
    rig.app.EndSession();
    EXPECT_EQ(rig.journal.size(), 2u) << "the exit processing runs once";

    // A session that goes on (the end was cancelled) changes nothing.
    DocViewRig other;
    ASSERT_TRUE(other.Open());
    other.journal.clear();
    SendMessageA(other.frame->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(other.journal.empty());
    EXPECT_TRUE(IsWindow(other.frame->Handle()));
}

} // namespace
} // namespace qvl::framework
