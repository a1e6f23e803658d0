#include "pages/CustomPageControl.h"
#include "platform/core/Color.h"
#include "platform/ui/Components.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTextEdit>

#include <memory>
#include <vector>

namespace {

// A page's frame as the tabs see it: a text control, a title label and a closing save whose
// result the test chooses.
class FakeFrame : public QWidget {
    Q_OBJECT

  public:
    explicit FakeFrame(bool* saveSucceeds) : saveSucceeds_(saveSucceeds) {
        auto* edit = new QTextEdit(this);
        edit->setObjectName(QStringLiteral("RichEdit"));
        auto* title = new QLabel(this);
        title->setObjectName(QStringLiteral("TitleLabel"));
    }
    Q_INVOKABLE bool SaveOnClose() {
        ++closeSaves;
        return *saveSucceeds_;
    }
    int closeSaves = 0;

  private:
    bool* saveSucceeds_;
};

// A frame whose save reports nothing, and one that also has the exit save.
class VoidSaveFrame : public QWidget {
    Q_OBJECT
  public:
    Q_INVOKABLE void SaveOnClose() { ++saves; }
    int saves = 0;
};

class ExitSaveFrame : public QWidget {
    Q_OBJECT
  public:
    Q_INVOKABLE bool SaveOnClose() {
        ++closeSaves;
        return false;
    }
    Q_INVOKABLE bool SaveOnExit() {
        ++exitSaves;
        return false;
    }
    int closeSaves = 0;
    int exitSaves = 0;
};

class TabsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.resize(1000, 600);
        mainPanel = new QWidget(&window);
        mainPanel->setObjectName(QStringLiteral("MainPanel"));
        mainPanel->setGeometry(0, 0, 1000, 600);
        tabsPanel = new QWidget(mainPanel);
        tabsPanel->setObjectName(QStringLiteral("TabsPanel"));
        tabsPanel->setGeometry(0, 0, 1000, 26);
        pagesPanel = new QWidget(mainPanel);
        pagesPanel->setObjectName(QStringLiteral("PagesPanel"));
        pagesPanel->setGeometry(0, 26, 1000, 574);
        mainPanel->hide();

        qb::PageServices services;
        services.setWindowTitle = [this](const QString& t) { titles.push_back(t); };
        services.orderPages = [this] { return orderPages; };
        services.openDayPage = [this](const QString& key) {
            opened.push_back(key);
            if (openSucceeds) {
                open(key, false);
            }
        };
        services.openDocumentPage = [this](const QString& name) {
            opened.push_back(name);
            open(name, true);
        };
        services.bringWindowUp = [this] { ++broughtUp; };
        services.ctrlHeld = [this] { return ctrlHeld; };
        services.useCtrlKey = [this] { return useCtrlKey; };
        services.frameEditor = [](QWidget* f) { return f->findChild<QWidget*>("RichEdit"); };
        services.frameTitleLabel = [](QWidget* f) { return f->findChild<QLabel*>("TitleLabel"); };
        pages = std::make_unique<TCustomPageControl>(&window, mainPanel, tabsPanel, pagesPanel,
                                                     services);
        window.show();
    }

    // The opening routine: a new id, a frame, the new page.
    FakeFrame* open(const QString& key, bool isDocument) {
        auto* frame = new FakeFrame(&saveSucceeds);
        const QString id = NextPageId();
        pages->PlaceNewPage(frame, key, id, isDocument, isDocument ? key : DateKeyToTitle(key));
        return frame;
    }

    QWidget* tab(int id) const {
        return qb::findComponent<QWidget>(&window, QStringLiteral("TabPanel%1").arg(id));
    }
    QWidget* page(int id) const {
        return qb::findComponent<QWidget>(&window, QStringLiteral("PagePanel%1").arg(id));
    }
    QLabel* caption(int id) const {
        return qb::findComponent<QLabel>(&window, QStringLiteral("TitleLabel%1").arg(id));
    }
    static QWidget* child(QWidget* parent, int index) {
        int n = 0;
        for (QObject* c : parent->children()) {
            if (c->isWidgetType() && n++ == index) {
                return static_cast<QWidget*>(c);
            }
        }
        return nullptr;
    }
    static int borderTag(QWidget* t) { return qb::tag(child(t, 1)); }
    std::vector<QString> keysOnScreen() const {
        std::vector<QString> keys;
        for (QWidget* t : pages->TabsOnScreen()) {
            keys.push_back(qb::hint(t));
        }
        return keys;
    }
    int selectedId() const {
        for (QWidget* t : pages->Tabs()) {
            if (borderTag(t) == 1) {
                return qb::tag(t);
            }
        }
        return 0;
    }

    QWidget window;
    QWidget* mainPanel = nullptr;
    QWidget* tabsPanel = nullptr;
    QWidget* pagesPanel = nullptr;
    std::unique_ptr<TCustomPageControl> pages;
    std::vector<QString> titles;
    std::vector<QString> opened;
    bool orderPages = false;
    bool openSucceeds = true;
    bool saveSucceeds = true;
    bool ctrlHeld = false;
    bool useCtrlKey = false;
    int broughtUp = 0;

    void TearDown() override {
        pages.reset();
        PageCounter = 0;
    }
};

TEST_F(TabsTest, AddPageMakesANamedSelectedTabWithItsPartsAndUnselectsTheOthers) {
    PageCounter = 0;
    open(QStringLiteral("20050305"), false);
    FakeFrame* second = open(QStringLiteral("Trip"), true);

    QWidget* t1 = tab(1);
    QWidget* t2 = tab(2);
    ASSERT_NE(t1, nullptr);
    ASSERT_NE(t2, nullptr);
    EXPECT_EQ(qb::tag(t2), 2);
    EXPECT_EQ(qb::hint(t1), QStringLiteral("20050305"));
    EXPECT_EQ(qb::hint(t2), QStringLiteral("Trip"));
    EXPECT_EQ(caption(1)->text(), QStringLiteral("March  5, 2005 - Saturday"));
    EXPECT_EQ(caption(2)->text(), QStringLiteral("Trip"));
    EXPECT_EQ(qb::tag(caption(2)), 2);
    EXPECT_EQ(qb::tag(page(2)), 2);

    // Children in list order: the shading paint box, the border, the caption.
    auto* box = qobject_cast<qb::PaintBox*>(child(t2, 0));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(qb::tag(box), 55);
    EXPECT_EQ(qb::hint(box), QStringLiteral("ShadeBarred"));
    EXPECT_EQ(box->geometry(), t2->rect());
    auto* border = qobject_cast<qb::TabBorderShape*>(child(t2, 1));
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(child(t2, 2), caption(2));
    EXPECT_EQ(caption(2)->geometry(), QRect(10, 6, 180, 16));

    // The new tab is selected, the older one is not.
    EXPECT_EQ(qb::tag(border), 1);
    EXPECT_EQ(border->penWidth(), 2);
    EXPECT_EQ(border->penColor(), qb::toQColor(SelTabBorderColor));
    EXPECT_EQ(caption(2)->palette().color(QPalette::WindowText), qb::toQColor(BackgroundFontColor));
    auto* oldBorder = qobject_cast<qb::TabBorderShape*>(child(t1, 1));
    EXPECT_EQ(qb::tag(oldBorder), 0);
    EXPECT_EQ(oldBorder->penWidth(), 1);
    EXPECT_EQ(oldBorder->penColor(), qb::toQColor(qb::clBtnFace));
    EXPECT_EQ(caption(1)->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));

    // The page: frame placed, titled, focused, unmodified; the window titled; pages shown.
    EXPECT_EQ(pages->CurrentEditor(), second);
    EXPECT_EQ(second->parentWidget(), page(2));
    EXPECT_EQ(second->findChild<QLabel*>("TitleLabel")->text(), QStringLiteral("Trip"));
    EXPECT_EQ(titles.back(), QStringLiteral("Trip"));
    EXPECT_TRUE(mainPanel->isVisible());
    EXPECT_EQ(window.focusWidget(), second->findChild<QWidget*>("RichEdit"));
    EXPECT_EQ(page(2)->geometry(), pagesPanel->rect());
    EXPECT_EQ(second->geometry(), page(2)->rect());
}

TEST_F(TabsTest, ANewPageHidesThePagesBelowItEvenWhereItsFrameDrawsNothing) {
    FakeFrame* lower = open(QStringLiteral("A"), true);
    lower->setAutoFillBackground(true);
    QPalette red = lower->palette();
    red.setColor(QPalette::Window, Qt::red);
    lower->setPalette(red);
    for (QWidget* part : lower->findChildren<QWidget*>()) {
        part->hide();
    }
    FakeFrame* upper = open(QStringLiteral("B"), true);
    for (QWidget* part : upper->findChildren<QWidget*>()) {
        part->hide();  // a frame that leaves its background to its page
    }
    ASSERT_TRUE(page(1)->isVisible());  // opening does not hide the other pages
    const QImage shot = pagesPanel->grab().toImage();
    EXPECT_NE(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::red));
}

TEST_F(TabsTest, TabWidthsShareThePanelAtMost200AndOneTabKeepsItsWidth) {
    struct Case {
        int panelWidth;
        int tabs;
        int width;
    };
    const Case cases[] = {{1000, 1, 200}, {1000, 5, 200}, {1000, 6, 166},
                          {401, 2, 200},  {399, 2, 199},  {150, 1, 150}};
    for (const Case& c : cases) {
        pages->CloseAllPages(true);
        tabsPanel->resize(c.panelWidth, 26);
        for (int i = 0; i < c.tabs; ++i) {
            open(QStringLiteral("Doc%1").arg(i), true);
        }
        int left = 0;
        for (QWidget* t : pages->TabsOnScreen()) {
            EXPECT_EQ(t->width(), c.width) << c.panelWidth << " / " << c.tabs;
            EXPECT_EQ(t->x(), left);  // aligned to the left, one after the other
            left += t->width();
        }
    }

    // One tab keeps its width when the panel narrows; two share it again.
    pages->CloseAllPages(true);
    tabsPanel->resize(1000, 26);
    open(QStringLiteral("A"), true);
    tabsPanel->resize(300, 26);
    EXPECT_EQ(pages->Tabs()[0]->width(), 200);
    open(QStringLiteral("B"), true);
    tabsPanel->resize(240, 26);
    EXPECT_EQ(pages->Tabs()[0]->width(), 120);
    // Closing down to one: the last tab keeps the width it had.
    pages->CloseTabActionExecute();
    ASSERT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(pages->Tabs()[0]->width(), 120);
    EXPECT_EQ(pages->Tabs()[0]->x(), 0);
}

TEST_F(TabsTest, OrderingPlacesANewTabBeforeTheFirstGreaterKey) {
    const QString keys[] = {QStringLiteral("20050305"), QStringLiteral("20050309"),
                            QStringLiteral("20050307"), QStringLiteral("Notes"),
                            QStringLiteral("2004 Trip")};
    const auto openAll = [&] {
        pages->CloseAllPages(true);
        for (const QString& key : keys) {
            open(key, !key.startsWith(QStringLiteral("2005")));
        }
    };
    orderPages = true;
    openAll();
    EXPECT_EQ(keysOnScreen(),
              (std::vector<QString>{"2004 Trip", "20050305", "20050307", "20050309", "Notes"}));

    orderPages = false;
    openAll();
    EXPECT_EQ(keysOnScreen(), std::vector<QString>(std::begin(keys), std::end(keys)));
}

TEST_F(TabsTest, ClickingATabItsShadingOrItsCaptionSelectsItsPage) {
    PageCounter = 0;
    open(QStringLiteral("20050305"), false);
    open(QStringLiteral("20050306"), false);
    FakeFrame* third = open(QStringLiteral("20050307"), false);
    third->findChild<QLabel*>("TitleLabel")->setText(QStringLiteral("Third"));

    const auto parts = [&](int id) {
        return std::vector<QWidget*>{child(tab(id), 0), caption(id)};
    };
    for (QWidget* part : parts(1)) {
        QTest::mouseClick(part, Qt::RightButton, {}, QPoint(3, 3));
        EXPECT_EQ(selectedId(), 1);
        EXPECT_TRUE(page(1)->isVisible());
        EXPECT_FALSE(page(2)->isVisible());
        EXPECT_FALSE(page(3)->isVisible());
        EXPECT_EQ(caption(3)->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
        EXPECT_EQ(titles.back(), QStringLiteral("March  5, 2005 - Saturday"));
    }
    pages->SelectTab(tab(3));
    EXPECT_EQ(selectedId(), 3);
    EXPECT_EQ(pages->CurrentEditor(), third);
    EXPECT_EQ(titles.back(), QStringLiteral("Third"));
    EXPECT_EQ(window.focusWidget(), third->findChild<QWidget*>("RichEdit"));
}

TEST_F(TabsTest, CloseTabSelectsTheTabMadeNextElseTheLastAndHidesThePagesAfterTheLast) {
    struct Case {
        int tabs;
        int selected;  // 1-based in the order of making
        int expected;  // the page selected afterwards (0: none left)
    };
    const Case cases[] = {{4, 3, 4}, {4, 4, 3}, {4, 1, 2}, {1, 1, 0}};
    for (const Case& c : cases) {
        pages->CloseAllPages(true);
        PageCounter = 0;
        for (int i = 1; i <= c.tabs; ++i) {
            open(QStringLiteral("Doc%1").arg(i), true);
        }
        pages->SelectTab(tab(c.selected));
        pages->CloseTabActionExecute();
        EXPECT_EQ(tab(c.selected), nullptr);
        EXPECT_EQ(page(c.selected), nullptr);
        EXPECT_EQ(pages->PageCount(), c.tabs - 1);
        EXPECT_EQ(selectedId(), c.expected) << c.tabs << "/" << c.selected;
        if (c.expected == 0) {
            EXPECT_FALSE(mainPanel->isVisible());
            EXPECT_EQ(titles.back(), QString());
            EXPECT_EQ(pages->CurrentEditor(), nullptr);
        }
    }
}

TEST_F(TabsTest, ClosePageByItselfLeavesNoTabSelectedAndCloseTabThenDoesNothing) {
    PageCounter = 0;
    open(QStringLiteral("A"), true);
    open(QStringLiteral("B"), true);
    EXPECT_TRUE(pages->ClosePage(2));
    EXPECT_EQ(selectedId(), 0);
    EXPECT_EQ(pages->CurrentEditor(), nullptr);
    EXPECT_TRUE(mainPanel->isVisible());
    pages->CloseTabActionExecute();
    EXPECT_EQ(pages->PageCount(), 1);
}

TEST_F(TabsTest, AFailedClosingSaveKeepsThePageOpenAtTheProgramsEndToo) {
    PageCounter = 0;
    open(QStringLiteral("A"), true);
    FakeFrame* frame = open(QStringLiteral("B"), true);
    saveSucceeds = false;
    const std::size_t titleCount = titles.size();

    pages->CloseTabActionExecute();
    EXPECT_EQ(frame->closeSaves, 1);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->CurrentEditor(), frame);  // still selected, with its text
    EXPECT_EQ(titles.size(), titleCount);

    pages->CloseAllPages(false);
    EXPECT_EQ(pages->PageCount(), 2);

    // At the program's end too: a text that could be kept nowhere is never thrown away.
    pages->CloseAllPages(true);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->CurrentEditor(), frame);

    saveSucceeds = true;
    pages->CloseAllPages(true);
    EXPECT_EQ(pages->PageCount(), 0);
    EXPECT_FALSE(mainPanel->isVisible());
}

TEST(ClosingSave, TheFrameSaveIsFoundByNameAndAReportlessSaveCountsAsSaved) {
    VoidSaveFrame reportless;
    EXPECT_TRUE(qb::InvokeClosingSave(&reportless, false));
    EXPECT_TRUE(qb::InvokeClosingSave(&reportless, true));
    EXPECT_EQ(reportless.saves, 2);

    ExitSaveFrame both;
    EXPECT_FALSE(qb::InvokeClosingSave(&both, false));
    EXPECT_FALSE(qb::InvokeClosingSave(&both, true));
    EXPECT_EQ(both.closeSaves, 1);
    EXPECT_EQ(both.exitSaves, 1);

    QWidget none;
    EXPECT_TRUE(qb::InvokeClosingSave(&none, false));
}

TEST_F(TabsTest, ShowingAnOpenKeySelectsItsTabAndOtherwiseOpensIt) {
    PageCounter = 0;
    open(QStringLiteral("20050305"), false);
    open(QStringLiteral("20050306"), true);  // a document named like a day
    open(QStringLiteral("Notes"), true);

    pages->ShowDay(QStringLiteral("20050306"));
    EXPECT_EQ(selectedId(), 2);
    pages->ShowDocument(QStringLiteral("20050305"));
    EXPECT_EQ(selectedId(), 1);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(broughtUp, 2);

    pages->ShowDay(QStringLiteral("20050307"));
    EXPECT_EQ(opened, std::vector<QString>{"20050307"});
    EXPECT_EQ(selectedId(), 4);
    EXPECT_EQ(pages->PageCount(), 4);
}

TEST_F(TabsTest, AFailedOpeningLeavesNoEmptyPagesArea) {
    openSucceeds = false;
    pages->ShowDay(QStringLiteral("20050305"));
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_FALSE(mainPanel->isVisible());
}

TEST_F(TabsTest, CtrlKeyRuleClosesExactlyTheSelectedPage) {
    struct Case {
        bool useCtrlKey;
        bool ctrlHeld;
        int pagesLeft;
    };
    for (const Case& c :
         {Case{true, false, 1}, Case{true, true, 2}, Case{false, false, 2}, Case{false, true, 2}}) {
        pages->CloseAllPages(true);
        open(QStringLiteral("A"), true);
        open(QStringLiteral("B"), true);
        useCtrlKey = c.useCtrlKey;
        ctrlHeld = c.ctrlHeld;
        pages->ApplyCtrlKeyRule();
        EXPECT_EQ(pages->PageCount(), c.pagesLeft) << c.useCtrlKey << c.ctrlHeld;
    }
}

TEST_F(TabsTest, StepReplacesThePageAfterTheTimerUnlessItsTextCouldNotBeSaved) {
    qb::ManualClock clock;
    PageCounter = 0;
    open(QStringLiteral("20050305"), false);
    open(QStringLiteral("20050309"), false);

    pages->StepToDay(2, QStringLiteral("20050305"));
    EXPECT_NE(tab(2), nullptr);  // unchanged until the timer runs
    clock.advance(1);
    EXPECT_FALSE(pages->NextDayTimer->isEnabled());
    EXPECT_EQ(tab(2), nullptr);
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(selectedId(), 1);  // the open tab of the key is selected, nothing opened
    EXPECT_TRUE(opened.empty());

    saveSucceeds = false;
    pages->StepToDocument(1, QStringLiteral("Notes"));
    clock.advance(1);
    EXPECT_FALSE(pages->NextDocumentTimer->isEnabled());
    EXPECT_NE(tab(1), nullptr);
    EXPECT_TRUE(opened.empty());

    saveSucceeds = true;
    pages->StepToDocument(1, QStringLiteral("Notes"));
    clock.advance(1);
    EXPECT_EQ(tab(1), nullptr);
    EXPECT_EQ(opened, std::vector<QString>{"Notes"});
    EXPECT_EQ(pages->PageCount(), 1);
}

}  // namespace

#include "CustomPageControlTests.moc"
