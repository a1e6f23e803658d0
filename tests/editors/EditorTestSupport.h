#pragma once
// A diary in a temporary folder, opened by the database module, with the program-wide state
// the editor pages read; and services that record what a page asks of its window.

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EmptyDiary.h"
#include "program/ProgramState.h"
#include "cipher/QbClass.h"
#include "editors/EditorServices.h"
#include "platform/core/Dialogs.h"
#include "store/DatabaseUnit.h"

struct RecordedServices {
    std::vector<QString> statuses;
    std::vector<std::pair<int, QString>> daySteps;
    std::vector<std::pair<int, QString>> documentSteps;
    std::vector<QString> openedFolders;
    std::vector<QString> shownPictures;
    bool showCaptions = true;
    int calendarRefreshes = 0;
    int documentListRefreshes = 0;
    bool showToolbar = true;
    bool undoSwitch = false;
    std::uint32_t tick = 5000;

    qb::EditorServices services() {
        qb::EditorServices s;
        s.showStatus = [this](const QString& text) { statuses.push_back(text); };
        s.refreshCalendars = [this] { ++calendarRefreshes; };
        s.refreshDocumentList = [this] { ++documentListRefreshes; };
        s.stepToDay = [this](int id, const QString& key) { daySteps.emplace_back(id, key); };
        s.stepToDocument = [this](int id, const QString& name) {
            documentSteps.emplace_back(id, name);
        };
        s.showModifyToolbar = [this] { return showToolbar; };
        s.undoPanelSwitch = [this] { return undoSwitch; };
        s.openFolder = [this](const QString& folder) { openedFolders.push_back(folder); };
        s.showPicture = [this](const QString& path) { shownPictures.push_back(path); };
        s.showThumbnailCaptions = [this] { return showCaptions; };
        s.tickCount = [this] { return tick; };
        s.processEvents = [] {};
        return s;
    }
};

// The program-wide state of a test, put back as it was afterwards.
class ProgramState {
  public:
    ProgramState()
        : appFolder_(AppFolder),
          readOnly_(DatabaseReadOnly),
          cipher_(EntryCipher),
          module_(DataModule1) {
        DatabaseReadOnly = false;
    }
    ~ProgramState() {
        AppFolder = appFolder_;
        DatabaseReadOnly = readOnly_;
        EntryCipher = cipher_;
        DataModule1 = module_;
    }
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

  private:
    QString appFolder_;
    bool readOnly_;
    TQbBlowfish* cipher_;
    TDataModule1* module_;
};

// An empty diary made by the empty-database maker, open in the database module.
class TestDiary {
  public:
    TestDiary() {
        folder = dir.path() + QStringLiteral("/");
        AppFolder = folder;
        CreateEmptyDiary((folder + QString::fromLatin1(DatabaseFileName)).toStdString());
        EntryCipher = &cipher;
        module = std::make_unique<TDataModule1>(folder, cipher);
        module->OpenDatabase();
        DataModule1 = module.get();
    }

    // Reopens the file read-only, as when it was made read-only while the program ran.
    void reopenReadOnly() {
        module->ADOConnection1.Close();
        module->ADOConnection1.SetForceReadOnly(true);
        module->OpenDatabase();
    }

    void addRow(qb::db::Table& table, const char* keyField, const QString& key,
                const std::string& stored = std::string()) {
        table.Insert();
        table.FieldByName(keyField).SetAsQString(key);
        table.FieldByName("Entry").SetAsString(stored);
        table.Post();
    }

    std::string storedText(qb::db::Table& table, const char* keyField, const QString& key) {
        if (!table.Locate(keyField, key.toStdString())) {
            return "<no row>";
        }
        return table.FieldByName("Entry").AsString();
    }

    ProgramState state;
    QTemporaryDir dir;
    QString folder;
    TQbBlowfish cipher;
    std::unique_ptr<TDataModule1> module;
};
