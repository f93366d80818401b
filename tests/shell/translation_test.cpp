// The program in German: the committed catalogues match the sources, and a
// walk through the menus, dialogs and messages finds every text translated
// and none cut off by its control.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QXmlStreamReader>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/audio_virtual.h"
#include "platform/msgbox.h"
#include "print/optdlg.h"
#include "shell/app.h"
#include "shell/appframe.h"
#include "shell/translation.h"
#include "support/scriptedfiledialog.h"
#include "support/scriptedprint.h"
#include "wave/file.h"
#include "wavewin/chanwin.h"
#include "wavewin/commands.h"
#include "wavewin/loudnessdlg.h"
#include "wavewin/measuredlg.h"
#include "wavewin/normalizedlg.h"
#include "wavewin/prefsdlg.h"
#include "wavewin/wavewin.h"

namespace {

struct TEntry {
    QString Source, Translation;
    bool Unfinished = false;
};

// (context, source) -> entry, as lupdate writes a catalogue.
using TCatalogue = QMap<QPair<QString, QString>, TEntry>;

TCatalogue ReadCatalogue(const QString& path) {
    TCatalogue entries;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    QString context;
    TEntry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == QLatin1String("message"))
                entries.insert({context, entry.Source}, entry);
            continue;
        }
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            entry = TEntry();
        else if (xml.name() == QLatin1String("source"))
            entry.Source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            entry.Unfinished = xml.attributes().value(QLatin1String("type")) != QString();
            entry.Translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return entries;
}

QString SourceFile(const char* name) {
    return qEnvironmentVariable("SOURCE_DIR") + QStringLiteral("/i18n/") + QLatin1String(name);
}

// The placeholders a text fills, in order of number.
std::set<QString> Placeholders(const QString& text) {
    std::set<QString> found;
    static const QRegularExpression number(QStringLiteral("%[1-9]"));
    for (const auto& match : number.globalMatch(text))
        found.insert(match.captured());
    return found;
}

// The accelerators a text marks: single '&' before a character ("&&" is an
// ampersand shown).
QString Accelerators(const QString& text) {
    QString keys;
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&'))
                keys += text[i + 1].toLower();
            ++i;
        }
    return keys;
}

QString Shown(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

} // namespace

TEST(CatalogueTest, TheCommittedTemplateIsTheBuildsAndGermanTranslatesEveryEntry) {
    const TCatalogue committed = ReadCatalogue(SourceFile("brimvale.ts"));
    const TCatalogue built =
        ReadCatalogue(QStringLiteral(BRIMVALE_BUILD_DIR) + QStringLiteral("/i18n/brimvale.ts"));
    ASSERT_FALSE(built.isEmpty());
    for (auto i = built.begin(); i != built.end(); ++i)
        EXPECT_TRUE(committed.contains(i.key()))
            << "not in the committed template: " << i.key().first.toStdString() << ": "
            << i.key().second.toStdString();
    for (auto i = committed.begin(); i != committed.end(); ++i)
        EXPECT_TRUE(built.contains(i.key()))
            << "no longer in the sources: " << i.key().first.toStdString() << ": "
            << i.key().second.toStdString();

    const TCatalogue german = ReadCatalogue(SourceFile("brimvale_de.ts"));
    int untranslated = 0;
    for (auto i = built.begin(); i != built.end(); ++i) {
        const std::string where =
            i.key().first.toStdString() + ": " + i.value().Source.toStdString();
        const auto found = german.find(i.key());
        if (found == german.end() || found->Unfinished || found->Translation.isEmpty()) {
            ++untranslated;
            continue;
        }
        const QString& text = found->Translation;
        EXPECT_EQ(Placeholders(text), Placeholders(i.value().Source)) << where;
        EXPECT_EQ(Accelerators(text).size(), Accelerators(i.value().Source).size()) << where;
        // A key after a tab is named as German keyboards name it.
        const QString key = text.section(QLatin1Char('\t'), 1);
        for (const char* english : {"Ctrl", "Shift", "Delete", "Home", "End", "PgUp", "PgDown",
                                    "Page Up", "Page Down", "Space", "Escape"})
            EXPECT_FALSE(key.contains(QLatin1String(english))) << where;
    }
    EXPECT_EQ(untranslated, 0) << "German entries missing, unfinished or empty";
}

namespace {

// Message boxes are read and answered no (Cancel where there is one).
class TReadMessageBoxes : public TMessageBoxService {
public:
    TReadMessageBoxes() { Before = Install(this); }
    ~TReadMessageBoxes() override { Install(Before); }
    int Show(const TMessageBoxRequest& request) override {
        Shown.push_back(request);
        switch (request.Buttons) {
        case TMsgButtons::Ok:
            return IdOk;
        case TMsgButtons::YesNo:
            return IdNo;
        default:
            return IdCancel;
        }
    }
    std::vector<TMessageBoxRequest> Shown;

private:
    TMessageBoxService* Before = nullptr;
};

// Each text seen on the walk, where it was, and the controls too small for
// their texts.
struct TWalk {
    std::vector<std::pair<std::string, QString>> Texts;
    std::vector<std::string> Clipped;
    std::vector<std::string> SameKey;
};

// Whether `text` fits `room` pixels wide at `fm`, line by line.
bool Fits(const QFontMetrics& fm, const QString& text, int room) {
    for (const QString& line : Shown(text).split(QLatin1Char('\n')))
        if (fm.horizontalAdvance(line) > room)
            return false;
    return true;
}

class TWalker {
public:
    explicit TWalker(TWalk& walk) : Walk(walk) {}

    void Text(const std::string& where, const QString& text) {
        if (!text.trimmed().isEmpty())
            Walk.Texts.push_back({where, text});
    }

    void Check(bool fits, const std::string& where, const QString& text) {
        if (!fits)
            Walk.Clipped.push_back(where + ": \"" + text.toStdString() + "\"");
    }

    // The window's title and every visible control's texts; what a text
    // needs is measured at the control's own font.
    void Window(QWidget* top, const std::string& step) {
        Text(step + "/title", top->windowTitle());
        std::map<QChar, QString> keys;
        const QList<QWidget*> widgets = top->findChildren<QWidget*>();
        for (qsizetype n = 0; n < widgets.size(); ++n) {
            QWidget* w = widgets[n];
            if (!w->isVisible() || w->window() != top->window())
                continue;
            const std::string where =
                step + "/" + w->metaObject()->className() + "#" + std::to_string(n);
            Text(where + ".tip", w->toolTip());
            Text(where + ".name", w->accessibleName());
            Text(where + ".description", w->accessibleDescription());
            const QFontMetrics fm(w->font());
            QString marked;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->text().isEmpty() || Qt::mightBeRichText(label->text()))
                    continue;
                Text(where, label->text());
                const QRect room = label->contentsRect();
                if (label->wordWrap())
                    Check(fm.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap,
                                          Shown(label->text()))
                                  .height() <= room.height(),
                          where, label->text());
                else
                    Check(Fits(fm, label->text(), room.width()), where, label->text());
                if (label->buddy())
                    marked = label->text();
            } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
                Text(where, check->text());
                Check(check->sizeHint().width() <= check->width(), where, check->text());
                marked = check->text();
            } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
                Text(where, radio->text());
                Check(radio->sizeHint().width() <= radio->width(), where, radio->text());
                marked = radio->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                Text(where, button->text());
                if (!button->text().isEmpty())
                    Check(Fits(fm, button->text(), button->width() - 6), where, button->text());
                marked = button->text();
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                Text(where, group->title());
                Check(Fits(fm, group->title(), group->width() - 12), where, group->title());
                marked = group->title();
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                QStyleOptionComboBox option;
                option.initFrom(combo);
                option.editable = combo->isEditable();
                const int room = combo->style()
                                     ->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, combo)
                                     .width();
                for (int i = 0; i < combo->count(); ++i) {
                    Text(where + "." + std::to_string(i), combo->itemText(i));
                    Check(Fits(fm, combo->itemText(i), room), where, combo->itemText(i));
                }
            } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
                for (int c = 0; c < table->columnCount(); ++c)
                    if (QTableWidgetItem* item = table->horizontalHeaderItem(c))
                        Text(where + ".column" + std::to_string(c), item->text());
                for (int r = 0; r < table->rowCount(); ++r) {
                    if (QTableWidgetItem* item = table->verticalHeaderItem(r))
                        Text(where + ".row" + std::to_string(r), item->text());
                    for (int c = 0; c < table->columnCount(); ++c)
                        if (QTableWidgetItem* item = table->item(r, c))
                            Text(where + ".cell" + std::to_string(r) + "," + std::to_string(c),
                                 item->text());
                }
            }
            for (QChar key : Accelerators(marked)) {
                if (keys.count(key))
                    Walk.SameKey.push_back(step + ": \"" + keys[key].toStdString() + "\" and \"" +
                                           marked.toStdString() + "\"");
                keys[key] = marked;
            }
        }
    }

    // The menu bar's menus, each brought up to date as when it opens.
    void Menus(QMenuBar* bar) {
        const QList<QAction*> menus = bar->actions();
        for (qsizetype m = 0; m < menus.size(); ++m) {
            const std::string step = "menu" + std::to_string(m);
            Text(step, menus[m]->text());
            if (QMenu* menu = menus[m]->menu()) {
                emit menu->aboutToShow();
                Items(menu, step);
                emit menu->aboutToHide();
            }
        }
    }

    void Items(QMenu* menu, const std::string& step) {
        std::map<QChar, QString> keys;
        const QList<QAction*> items = menu->actions();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items[i]->isSeparator() || !items[i]->isVisible())
                continue;
            const QString text = items[i]->text().section(QLatin1Char('\t'), 0, 0);
            Text(step + "/" + std::to_string(i), items[i]->text());
            for (QChar key : Accelerators(text)) {
                if (keys.count(key))
                    Walk.SameKey.push_back(step + ": \"" + keys[key].toStdString() + "\" and \"" +
                                           text.toStdString() + "\"");
                keys[key] = text;
            }
        }
    }

    void Boxes(const std::string& step, const TReadMessageBoxes& boxes, size_t from) {
        for (size_t i = from; i < boxes.Shown.size(); ++i) {
            const std::string where = step + "/box" + std::to_string(i);
            Text(where, QString::fromStdString(boxes.Shown[i].Text));
            Text(where + ".caption", QString::fromStdString(boxes.Shown[i].Caption));
            for (const std::string& button : boxes.Shown[i].ButtonTexts)
                Text(where + ".button", QString::fromStdString(button));
        }
    }

private:
    TWalk& Walk;
};

class GermanWalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSAudio::TVirtualCard::Instance().Clear();
        ASSERT_TRUE(Folder.isValid());
        // Two seconds of a tone: enough for every measurement.
        NSWave::TFile file(22050, 2, 2, 2);
        const uint32_t length = 44100;
        file.SetSize(length, 2);
        for (int c = 0; c < 2; ++c)
            for (uint32_t i = 0; i < length; ++i)
                file.Channel(c).MutableSamples(0)[i] =
                    int32_t(std::lround(std::sin(double(i) * 0.06 * (c + 1)) * 1e9));
        SoundFile = Folder.filePath(QStringLiteral("walk.wav"));
        file.Save(SoundFile.toStdString());
        Empty = Folder.filePath(QStringLiteral("empty.wav"));
        QFile(Empty).open(QIODevice::WriteOnly);
    }
    void TearDown() override { Uninstall(); }

    static void Uninstall() {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    // Runs command `id` of the active window; `look` sees the modal dialog it
    // opens, which is cancelled afterwards.
    void Modal(int id, const std::function<void(QWidget&)>& look) {
        bool reached = false;
        QObject guard;
        // The dialog may come after a measurement that runs events of its
        // own: each turn of an event loop looks again, until it is there.
        std::function<void()> find = [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) {
                QTimer::singleShot(0, &guard, find);
                return;
            }
            reached = true;
            look(*dialog);
            if (dialog->isVisible())
                if (auto* modal = qobject_cast<QDialog*>(dialog))
                    modal->reject();
        };
        QTimer::singleShot(0, &guard, find);
        App->Frame()->ActiveWindow()->Command(id);
        EXPECT_TRUE(reached) << "command " << id << " opened no dialog";
    }

    // The channel view's pop-up menu, as a right click opens it.
    void Popup(TWalker& walker) {
        QWidget* view = nullptr;
        for (QWidget* w : App->Frame()->findChildren<QWidget*>())
            if (!view && dynamic_cast<NSWaveWin::TChannelWin*>(w))
                view = w;
        ASSERT_TRUE(view);
        bool reached = false;
        QObject guard;
        std::function<void()> find = [&] {
            QMenu* menu = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* open = qobject_cast<QMenu*>(top); open && open->isVisible())
                    menu = open;
            if (!menu) {
                QTimer::singleShot(0, &guard, find);
                return;
            }
            reached = true;
            walker.Items(menu, "popup");
            menu->close();
        };
        QTimer::singleShot(0, &guard, find);
        const QPoint at(10, 10);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
        QApplication::sendEvent(view, &event);
        EXPECT_TRUE(reached) << "no pop-up menu";
    }

    // Types a text no field takes into every field and presses the default
    // button: the message that refuses it is part of the walk.
    static void Refuse(QWidget& dialog) {
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
            if (edit->isVisible() && edit->isEnabled())
                edit->setText(QStringLiteral("x"));
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->isDefault() && button->isVisible()) {
                button->click();
                return;
            }
    }

    TWalk WalkIn(const QStringList& languages) {
        Uninstall();
        if (!languages.isEmpty()) {
            EXPECT_EQ(InstallTranslations(languages), QStringLiteral("de"));
        }
        TWalk walk;
        TWalker walker(walk);
        TReadMessageBoxes boxes;
        TScriptedFileDialogs files;
        TScriptedPrint print(Folder.filePath(QStringLiteral("walk.pdf")));
        App = std::make_unique<TApp>(TAppOptions{0});
        App->Start({SoundFile});
        TAppFrame* frame = App->Frame();
        frame->resize(900, 650);
        QApplication::processEvents();
        NSWaveWin::TWaveWin* window = frame->ActiveWindow();
        EXPECT_TRUE(window);
        if (!window)
            return walk;
        window->Command(NSWaveWin::CmdSelectAll);
        walker.Window(frame, "frame");
        walker.Menus(frame->menuBar());
        Popup(walker);

        struct TStep {
            int Id;
            const char* Name;
            bool Refuse;
        };
        const TStep steps[] = {
            {NSWaveWin::CmdPreferences, "preferences", false},
            {NSWaveWin::CmdSoundFormat, "format", true},
            {NSWaveWin::CmdEcho, "echo", false},
            {NSWaveWin::CmdVibro, "vibro", false},
            {NSWaveWin::CmdPitch, "pitch", true},
            {NSWaveWin::CmdAmplitude, "amplitude", false},
            {NSWaveWin::CmdNormalize, "normalize", true},
            {NSWaveWin::CmdLoudness, "loudness", true},
            {NSWaveWin::CmdMeasure, "measure", false},
            {NSWaveWin::CmdOtherEffect, "othereffect", false},
        };
        for (const TStep& step : steps) {
            const size_t before = boxes.Shown.size();
            Modal(step.Id, [&](QWidget& dialog) {
                walker.Window(&dialog, step.Name);
                if (step.Refuse)
                    Refuse(dialog);
            });
            walker.Boxes(step.Name, boxes, before);
        }

        // Print: the options dialog as shown, then a layout it refuses.
        size_t before = boxes.Shown.size();
        print.OnOptions = [&](NSPrint::TOptDlg& dialog) {
            dialog.show();
            QApplication::processEvents();
            walker.Window(&dialog, "print");
            Refuse(dialog);
            dialog.reject();
        };
        window->Command(NSWaveWin::CmdPrint);
        walker.Boxes("print", boxes, before);

        // The questions of a changed sound, and a file that cannot be read.
        before = boxes.Shown.size();
        window->Command(NSWaveWin::CmdSilence);
        window->Command(NSWaveWin::CmdRevert);
        window->Command(NSWaveWin::CmdClose);
        frame->OpenDocument(Empty.toStdString(), TMaximise::Decide);
        walker.Boxes("questions", boxes, before);
        walker.Window(frame, "changed");

        for (NSWaveWin::TWaveWin* w : NSWaveWin::TWaveWin::Windows())
            w->SetModified(false);
        App.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return walk;
    }

    QTemporaryDir Folder;
    QString SoundFile, Empty;
    std::unique_ptr<TApp> App;
};

// Whether `text` has words left once the words German writes as English does
// (units, names) and the names of files are taken out.
bool HasEnglishWords(QString text) {
    static const QStringList same = {
        QStringLiteral("Brimvale"),   QStringLiteral("OK"),     QStringLiteral("Ok"),
        QStringLiteral("Echo"),       QStringLiteral("Vibro"),  QStringLiteral("LUFS"),
        QStringLiteral("LU"),         QStringLiteral("dBTP"),   QStringLiteral("dBFS"),
        QStringLiteral("RMS"),        QStringLiteral("Hz"),     QStringLiteral("kbit"),
        QStringLiteral("EBU"),        QStringLiteral("R128"),   QStringLiteral("Stream"),
        QStringLiteral("Status"),     QStringLiteral("Zoom"),   QStringLiteral("Pause"),
        QStringLiteral("Mono"),       QStringLiteral("Stereo"), QStringLiteral("Amplitude"),
        QStringLiteral("PDF"),        QStringLiteral("WAV"),    QStringLiteral("Version"),
        QStringLiteral("Alpha"),      QStringLiteral("Layout"), QStringLiteral("Cursor"),
        QStringLiteral("Horizontal"), QStringLiteral("inf"),    QStringLiteral("KHz"),
        QStringLiteral("kHz"),        QStringLiteral("Bit"),    QStringLiteral("KB"),
        QStringLiteral("MB"),         QStringLiteral("GB"),
    };
    // Paths and names of files, as the recent files and titles show them.
    static const QRegularExpression files(QStringLiteral("\\S*/\\S*|\\S+\\.wav\\b"));
    text.remove(files);
    text = Shown(text);
    for (const QString& word : same)
        text.remove(QRegularExpression(QStringLiteral("\\b%1\\b").arg(word)));
    static const QRegularExpression letters(QStringLiteral("[A-Za-z]{2,}"));
    return letters.match(text).hasMatch();
}

} // namespace

TEST_F(GermanWalkTest, EveryTextOfTheMenusDialogsAndMessagesIsGermanAndFitsItsControl) {
    auto list = [](const std::vector<std::string>& lines) {
        std::string all;
        for (const std::string& line : lines)
            all += line + "\n";
        return all;
    };
    const TWalk english = WalkIn({});
    const TWalk german = WalkIn({QStringLiteral("de-DE")});
    EXPECT_TRUE(english.Clipped.empty()) << "English texts cut off:\n" << list(english.Clipped);
    ASSERT_GT(english.Texts.size(), 300u);
    // A German text may say more (a description where the English name
    // says it all); every English one has its German counterpart.
    std::map<std::string, QString> shown(german.Texts.begin(), german.Texts.end());
    std::vector<std::string> untranslated;
    for (const auto& [where, text] : english.Texts) {
        const auto found = shown.find(where);
        if (found == shown.end())
            ADD_FAILURE() << "not on the German walk: " << where;
        else if (found->second == text && HasEnglishWords(text))
            untranslated.push_back(where + ": \"" + text.toStdString() + "\"");
    }
    EXPECT_TRUE(untranslated.empty()) << untranslated.size() << " texts in English:\n"
                                      << list(untranslated);
    EXPECT_TRUE(german.Clipped.empty()) << german.Clipped.size() << " texts cut off:\n"
                                        << list(german.Clipped);
    EXPECT_TRUE(german.SameKey.empty()) << "accelerators used twice:\n" << list(german.SameKey);
}
