#include "app/PageWiring.h"

#include "app/EditorProgram.h"
#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "dialogs/OptionsUnit.h"
#include "editors/BaseEditorUnit.h"
#include "editors/DayEditorUnit.h"
#include "pages/CalendarProgram.h"
#include "pages/CalendarUnit.h"
#include "pages/CustomPageControl.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "platform/ui/Guard.h"
#include "platform/ui/PaintBox.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "tools/DesktopCalendarUnit.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>

#include <memory>
#include <stdexcept>

namespace qb {
namespace {

TDataModule1& store() {
    if (!DataModule1) {
        throw std::runtime_error("The diary database is not open");
    }
    return *DataModule1;
}

bool checked(const QAbstractButton* option) {
    return option && option->isChecked();
}

// The calendar side panel's resize handler.
class CalendarPanelResizer : public QObject {
  public:
    CalendarPanelResizer(QWidget* panel, CalendarUnit* calendars)
        : QObject(calendars), calendars_(calendars) {
        panel->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            runGuarded([this] { calendars_->CalendarPanelResize(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    CalendarUnit* calendars_;
};

void wirePages(TMainForm& form) {
    PageServices& s = form.Pages->Services;
    s.orderPages = [] { return OptionsForm && checked(OptionsForm->OrderPagesCheckBox); };
    s.useCtrlKey = [] { return OptionsForm && checked(OptionsForm->UseCtrlKeyRadioButton); };
    s.ctrlHeld = [] {
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    };
    s.frameEditor = [](QWidget* frame) -> QWidget* {
        if (auto* editor = qobject_cast<TBaseEditorFrame*>(frame)) {
            return editor->RichEdit;
        }
        return frame->findChild<QWidget*>(QStringLiteral("RichEdit"));
    };
    s.frameTitleLabel = [](QWidget* frame) -> QLabel* {
        if (auto* editor = qobject_cast<TBaseEditorFrame*>(frame)) {
            return editor->TitleLabel;
        }
        return frame->findChild<QLabel*>(QStringLiteral("TitleLabel"));
    };
    s.closingSave = [](QWidget* frame, bool atExit) {
        if (auto* editor = qobject_cast<TBaseEditorFrame*>(frame)) {
            return atExit ? editor->SaveOnExit() : editor->SaveOnClose();
        }
        return InvokeClosingSave(frame, atExit);
    };
    form.ShowDocument = [pages = form.Pages](const QString& name) { pages->ShowDocument(name); };
}

CalendarServices calendarServices(TMainForm& form) {
    CalendarServices s;
    UseProgramState(s);
    s.monthDays = [](const QString& monthKey) {
        return DataModule1 ? GetMonthDays(DataModule1->MonthLookupTable, monthKey) : QString();
    };
    s.locateEntry = [](const QString& key) { return LocateDayEntry(store().EntryTable, key); };
    s.insertEntry = [](const QString& key) { InsertDayEntry(store().EntryTable, key); };
    s.markMonthDay = [](const QString& key) { store().MarkMonthDay(key); };
    TCustomPageControl* pages = form.Pages;
    s.showDay = [pages](const QString& key) { pages->ShowDay(key); };
    // One Ctrl-key rule for every opening routine: the page control's.
    s.ctrlHeld = [pages] { return pages->Services.ctrlHeld && pages->Services.ctrlHeld(); };
    s.useCtrlKey = [pages] { return pages->Services.useCtrlKey && pages->Services.useCtrlKey(); };
    s.closeTab = [pages] {
        if (pages->Services.closeTab) {
            pages->Services.closeTab();
        }
    };
    s.openEntryPage = [&form](const QString& key) { OpenEntryPage(form, key); };
    s.applyNewDayFont = [&form] {
        if (auto* editor = qobject_cast<TBaseEditorFrame*>(form.CurrentEditor())) {
            editor->RichEdit->SetFont(DefaultFont1);
        }
    };
    return s;
}

CalendarPanels calendarPanels(TMainForm& form) {
    CalendarPanels panels;
    panels.calendarPanel = form.CalendarPanel;
    panels.monthPanels = {form.CalendarPanel1, form.CalendarPanel2, form.CalendarPanel3,
                          form.CalendarPanel4};
    panels.paintBoxes = {form.CalendarPaintBox1, form.CalendarPaintBox2, form.CalendarPaintBox3,
                         form.CalendarPaintBox4};
    panels.backgroundPaintBox = form.CalendarPaintBox5;
    if (DesktopCalendarForm) {
        panels.desktopWindow = DesktopCalendarForm;
        panels.desktopPanel =
            findComponent<QWidget>(DesktopCalendarForm, QStringLiteral("CalendarPanel1"));
        panels.desktopPaintBox =
            findComponent<QWidget>(DesktopCalendarForm, QStringLiteral("CalendarPaintBox1"));
    }
    return panels;
}

}  // namespace

EditorServices PageEditorServices(TMainForm& form) {
    EditorServices services = MainFormEditorServices(form);
    TCustomPageControl* pages = form.Pages;
    services.stepToDay = [pages](int id, const QString& key) { pages->StepToDay(id, key); };
    services.stepToDocument = [pages](int id, const QString& name) {
        pages->StepToDocument(id, name);
    };
    return services;
}

void OpenEntryPage(TMainForm& form, const QString& dayKey) {
    const std::string text = DecodeEntryText(store().EntryTable.FieldByName("Entry").AsString());
    const QString id = NextPageId();
    auto frame = std::make_unique<TDayEditorFrame>(nullptr, PageEditorServices(form));
    frame->setObjectName(QStringLiteral("aDayEditorFrame") + id);
    if (!frame->LoadEntry(dayKey, text)) {
        return;
    }
    form.Pages->PlaceNewPage(frame.release(), dayKey, id, false, DateKeyToTitle(dayKey));
}

CalendarUnit* InstallPageWiring(TMainForm& form) {
    wirePages(form);

    auto* calendars = new CalendarUnit(calendarServices(form), &form);
    calendars->setObjectName(QStringLiteral("CalendarUnit"));
    calendars->setPanels(calendarPanels(form));
    form.Pages->Services.openDayPage = [calendars](const QString& key) {
        calendars->OpenDayPage(key);
    };
    form.RefreshCalendars = [calendars] { calendars->RefreshCalendars(); };
    new CalendarPanelResizer(form.CalendarPanel, calendars);

    form.SetActionHandler(form.NextMonthAction,
                          [calendars] { calendars->NextMonthActionExecute(); });
    form.SetActionHandler(form.PreviousMonthAction,
                          [calendars] { calendars->PreviousMonthActionExecute(); });
    form.SetActionHandler(form.GoToTodayAction,
                          [calendars] { calendars->GoToTodayActionExecute(); });
    return calendars;
}

}  // namespace qb
