#include "pages/DocumentUnit.h"

#include "EmptyDiary.h"
#include "platform/db/Connection.h"
#include "platform/db/Table.h"
#include "platform/ui/Components.h"
#include "program/ProgramState.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qb {
namespace {

TEST(DocumentNames, TrimmedAndFileNameCharactersReplaced) {
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"a/b:c", "a_b_c"},   {"a?b*c", "a_b_c"}, {"\\/:*?\"<>|", "_________"},
        {"  Trip  ", "Trip"}, {"   ", ""},        {"R&D", "R&D"},
        {"..", ".."},         {"../x", ".._x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DocumentNameFromInput(QString::fromUtf8(c.typed)), QString::fromUtf8(c.stored))
            << c.typed;
    }
    for (const char* name : {".", "..", "...."}) {
        EXPECT_TRUE(IsDotsOnlyName(QString::fromLatin1(name))) << name;
    }
    for (const char* name : {"", "..x", ".x.", "a."}) {
        EXPECT_FALSE(IsDotsOnlyName(QString::fromLatin1(name))) << name;
    }
}

// A diary file with its OtherDocs table sorted by name, the side list's scroll box and the two
// Documents menus with their own items, and services that record what the unit asks for.
class DocumentListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        const std::string path = folder.filePath(QStringLiteral("Marlowick.mdb")).toStdString();
        CreateEmptyDiary(path);
        connection.SetDatabasePath(path);
        connection.Open();
        docs.SetSort("Name");
        docs.Open();
        PageCounter = 0;

        box.setWidget(new QWidget);
        box.resize(219, 300);
        document1.addAction(QStringLiteral("New Document"));
        document1.addSeparator();
        document1.addAction(QStringLiteral("Toggle Documents Panel"));
        document1.addSeparator();
        documents1.addAction(QStringLiteral("New Document"));
        documents1.addSeparator();
        makeUnit();
    }

    void makeUnit() {
        DocumentServices s;
        s.ctrlHeld = [this] { return ctrlHeld; };
        s.useCtrlKey = [this] { return useCtrlKey; };
        s.closeTab = [this] { log.push_back(QStringLiteral("closeTab")); };
        s.openDocumentFrame = [this](const QString& name, const QString& id,
                                     const std::string& text) {
            log.push_back(
                QStringLiteral("open %1 #%2 %3").arg(name, id, QString::fromStdString(text)));
        };
        s.applyNewDocumentFont = [this] { log.push_back(QStringLiteral("font")); };
        s.activateMenuItem = [this](QAction* item) { activated.push_back(item); };
        unit = std::make_unique<DocumentUnit>(docs, std::move(s));
        unit->setPanels({&box, &document1, &documents1});
    }

    void addRow(const char* name, const char* entry = "") {
        docs.Insert();
        docs.FieldByName("Name").SetAsString(name);
        docs.FieldByName("Entry").SetAsString(entry);
        docs.Post();
    }

    std::vector<QString> storedNames() {
        std::vector<QString> names;
        for (docs.First(); !docs.Eof(); docs.Next()) {
            names.push_back(docs.FieldByName("Name").AsQString());
        }
        return names;
    }

    std::vector<QLabel*> labels() const {
        std::vector<QLabel*> list;
        for (QLabel* l :
             unit->DocumentPanel()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            list.push_back(l);
        }
        return list;
    }

    static std::vector<QAction*> documentItems(const QMenu& menu, int own) {
        const QList<QAction*> all = menu.actions();
        return {all.begin() + own, all.end()};
    }

    QTemporaryDir folder;
    db::Connection connection;
    db::Table docs{connection, "OtherDocs"};
    ScriptedDialogs boxes;
    QScrollArea box;
    QMenu document1;
    QMenu documents1;
    std::unique_ptr<DocumentUnit> unit;
    bool ctrlHeld = false;
    bool useCtrlKey = false;
    std::vector<QString> log;
    std::vector<QAction*> activated;
};

TEST_F(DocumentListTest, WithoutDocumentsOnlyTheFixedItemsStay) {
    unit->RefreshDocumentList();
    EXPECT_EQ(unit->DocumentPanel()->height(), 0);
    EXPECT_TRUE(labels().empty());
    EXPECT_EQ(document1.actions().size(), 4);
    EXPECT_EQ(documents1.actions().size(), 2);
}

TEST_F(DocumentListTest, ListAndMenusFollowNameOrderOnceEachAfterEveryRefresh) {
    for (const char* name : {"gamma", "R&D", "Alpha", "beta", "<b>x"}) {
        addRow(name);
    }
    unit->RefreshDocumentList();
    unit->RefreshDocumentList();
    const QStringList names = {QStringLiteral("<b>x"), QStringLiteral("Alpha"),
                               QStringLiteral("beta"), QStringLiteral("gamma"),
                               QStringLiteral("R&D")};

    const std::vector<QLabel*> list = labels();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(unit->DocumentPanel()->height(), 5 * 24);
    for (int i = 0; i < 5; ++i) {
        const QLabel* label = list[static_cast<std::size_t>(i)];
        EXPECT_EQ(label->text(), QStringLiteral("        ") + names[i]);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(label->geometry(), QRect(0, 24 * i, box.viewport()->width(), 24));
    }
    for (const auto& [menu, own] : {std::pair{&document1, 4}, std::pair{&documents1, 2}}) {
        const std::vector<QAction*> items = documentItems(*menu, own);
        ASSERT_EQ(items.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            QAction* item = items[static_cast<std::size_t>(i)];
            EXPECT_EQ(hint(item), names[i]);
            QString caption = names[i];
            EXPECT_EQ(item->text(), caption.replace(QStringLiteral("&"), QStringLiteral("&&")));
        }
    }
    // Every item of both refreshes went to the menu painter.
    EXPECT_EQ(activated.size(), 2u * 2u * 5u);

    // The labels follow the box's width, and light up under the pointer.
    box.show();
    box.resize(300, 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(unit->DocumentPanel()->width(), box.viewport()->width());
    EXPECT_EQ(list.front()->width(), box.viewport()->width());
    EXPECT_EQ(unit->DocumentPanel()->height(), 5 * 24);  // taller than the box: it scrolls
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(list.front(), &enter);
    EXPECT_TRUE(list.front()->autoFillBackground());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(list.front(), &leave);
    EXPECT_FALSE(list.front()->autoFillBackground());
}

TEST_F(DocumentListTest, LabelsAndItemsShowTheDocumentOfTheBareName) {
    addRow("Trip", "{\\rtf1 trip}");
    addRow("R&D");
    unit->RefreshDocumentList();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(labels().at(1), &press);
    }
    documentItems(documents1, 2).at(0)->trigger();
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("open Trip #1 {\\rtf1 trip}"),
                                         QStringLiteral("open Trip #2 {\\rtf1 trip}"),
                                         QStringLiteral("open R&D #3 ")}));
}

TEST_F(DocumentListTest, CtrlKeyRuleRunsBeforeTheLookUpEvenForAMissingName) {
    addRow("Notes");
    struct Case {
        bool useCtrl;
        bool held;
        const char* name;
        bool opens;
        bool closes;
    };
    const Case cases[] = {
        {false, false, "Notes", true, false},  {true, false, "Notes", true, true},
        {true, true, "Notes", true, false},    {true, false, "Gone", false, true},
        {false, false, "notes", false, false},
    };
    for (const Case& c : cases) {
        log.clear();
        useCtrlKey = c.useCtrl;
        ctrlHeld = c.held;
        EXPECT_EQ(unit->OpenDocumentPage(QString::fromLatin1(c.name)), c.opens) << c.name;
        std::vector<QString> expected;
        if (c.closes) {
            expected.push_back(QStringLiteral("closeTab"));
        }
        if (c.opens) {
            expected.push_back(QStringLiteral("open Notes #%1 ").arg(PageCounter));
        }
        EXPECT_EQ(log, expected) << c.name << c.useCtrl << c.held;
    }
}

// One "New Document" run: the answers of the input boxes and message boxes, the rows that
// are then stored, and the boxes shown, in order.
TEST_F(DocumentListTest, NewDocumentNamesAndTheDuplicateLoop) {
    using Answers = std::vector<std::optional<QString>>;
    using Results = std::vector<MessageResult>;
    struct Case {
        const char* what;
        Answers typed;
        Results replies;
        std::vector<QString> stored;  // besides the row "a_b_c" that is there before
        QStringList shown;            // kinds and titles of the boxes
        QString opened;               // the document shown afterwards, if any
    };
    const auto s = [](const char* text) { return std::optional<QString>(QString::fromUtf8(text)); };
    const QString input = QStringLiteral("inputBox New Document Name");
    const QString duplicate = QStringLiteral("messageBox Duplicate Name");
    const QString invalid = QStringLiteral("messageBox Invalid Name");
    const std::vector<Case> cases = {
        {"replaced", {s("x/y:z")}, {}, {"x_y_z"}, {input}, "x_y_z"},
        {"cancelled", {std::nullopt}, {}, {}, {input}, ""},
        {"blanks", {s("   ")}, {}, {}, {input}, ""},
        {"trimmed", {s(" Trip ")}, {}, {"Trip"}, {input}, "Trip"},
        {"duplicate, cancel", {s("a_b_c")}, {MessageResult::Cancel}, {}, {input, duplicate}, ""},
        {"replaced duplicate, OK, new name",
         {s("a?b*c"), s("Other")},
         {MessageResult::Ok},
         {"Other"},
         {input, duplicate, input},
         "Other"},
        {"dots refused",
         {s(".."), s("."), s("...")},
         {MessageResult::Ok, MessageResult::Ok, MessageResult::Cancel},
         {},
         {input, invalid, input, invalid, input, invalid},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        docs.Close();
        connection.Execute("DELETE FROM OtherDocs");
        docs.Open();
        addRow("a_b_c");
        ScriptedDialogs script;
        script.inputAnswers.assign(c.typed.begin(), c.typed.end());
        script.messageAnswers.assign(c.replies.begin(), c.replies.end());
        log.clear();

        unit->NewActionExecute();

        std::vector<QString> expected = c.stored;
        expected.push_back(QStringLiteral("a_b_c"));
        std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        EXPECT_EQ(storedNames(), expected);
        QStringList shown;
        for (const ScriptedDialogs::Shown& b : script.shown) {
            shown << b.kind + QLatin1Char(' ') + b.title;
            if (b.kind == QLatin1String("inputBox")) {
                EXPECT_EQ(b.text, QStringLiteral("Enter the name for the new document."));
            }
            if (b.title == QLatin1String("Duplicate Name")) {
                EXPECT_EQ(b.text, QStringLiteral("A document with this name already exists."
                                                 "     \r\nPlease enter a different name."));
                EXPECT_EQ(b.buttons, MessageButtons::OkCancel);
                EXPECT_EQ(b.icon, MessageIcon::Warning);
            }
        }
        EXPECT_EQ(shown, c.shown);
        if (c.opened.isEmpty()) {
            EXPECT_TRUE(log.empty());
        } else {
            // The list is rebuilt before the page opens, and the page takes the default font.
            EXPECT_EQ(labels().size(), expected.size());
            EXPECT_EQ(log, (std::vector<QString>{
                               QStringLiteral("open %1 #%2 ").arg(c.opened).arg(PageCounter),
                               QStringLiteral("font")}));
        }
    }
}

TEST_F(DocumentListTest, NewDocumentClosesTheSelectedPageFirstUnderTheCtrlKeyRule) {
    useCtrlKey = true;
    boxes.inputAnswers = {QStringLiteral("Plans")};
    unit->NewActionExecute();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], QStringLiteral("closeTab"));
    EXPECT_EQ(log[2], QStringLiteral("font"));
}

TEST_F(DocumentListTest, AFailedInsertReachesTheCallerAndOpensNothing) {
    addRow("Kept");
    unit->RefreshDocumentList();
    docs.Close();
    connection.Close();
    connection.SetForceReadOnly(true);
    connection.Open();
    docs.Open();
    boxes.inputAnswers = {QStringLiteral("New")};
    EXPECT_ANY_THROW(unit->NewActionExecute());
    EXPECT_EQ(storedNames(), std::vector<QString>{QStringLiteral("Kept")});
    EXPECT_EQ(labels().size(), 1u);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace qb
