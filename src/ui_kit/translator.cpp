#include "ui_kit/translator.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/tags.h"
#include "ui_kit/ui_seam.h"

namespace tavo {

namespace {

// The entry of a language file naming its locale, for Qt's own texts.
constexpr int kLocaleSection = 990;

// The rules apply to the exact kind only: a derived kind (a picture-open dialog, a link label
// counted apart) takes no text through them.
template <class T>
bool isExactly(const QObject* o) {
    return o->metaObject() == &T::staticMetaObject;
}

// The windows that own tagged lists refill them from the data files each time they are shown,
// so entries past the first two are looked up quietly: a language file cannot hold an entry for
// every list length, and a warning box at every activation would make the program unusable.
template <class List>
void refillList(List* list, TEdtTranslator& t, int tag) {
    const int n = list->count();
    list->clear();
    for (int i = 0; i < n; ++i)
        list->addItem(i < 2 ? t.GetTranslation(tag, i) : t.QuietTranslation(tag, i));
}

}  // namespace

TEdtTranslator::TEdtTranslator(QWidget* owner, const std::vector<QWidget*>* windows, UiSeam* ui)
    : QObject(owner), owner_(owner), windows_(windows), ui_(ui) {
    setObjectName(QStringLiteral("EdtTranslator1"));
}

void TEdtTranslator::Translate() {
    if (languageFile_.isEmpty()) return;
    emit OnBeforeTranslate(this);
    const QString path = QString::fromStdString(
        joinLanguagePath(pathFiles_.toStdString(), languageFile_.toStdString()));
    if (!LoadLanguageFile(path)) return;
    useQtTexts();
    emit OnTranslate(this);
    if (type_ == TTransType::ttPartial) {
        for (QObject* c : owner_->children()) TranslateComponent(c);
    } else if (windows_) {
        for (QWidget* window : *windows_) {
            if (const int tag = tagOf(window); tag != 0)
                window->setWindowTitle(GetTranslation(tag, 0));
            TranslateComponent(window);
        }
    }
    emit OnAfterTranslate(this);
}

QString TEdtTranslator::Locale() const {
    return QString::fromStdString(table_.find(kLocaleSection, 0).value_or(std::string()));
}

void TEdtTranslator::useQtTexts() {
    const QString locale = Locale();
    auto texts = std::make_unique<QTranslator>();
    // "fr_FR" finds qtbase_fr.qm; English needs none, and a locale Qt has no texts for keeps
    // Qt's English rather than the previous language's.
    const bool found =
        !locale.isEmpty() && texts->load(QStringLiteral("qtbase_") + locale,
                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtTexts_) QCoreApplication::removeTranslator(qtTexts_.get());
    qtTexts_.reset();
    if (found && QCoreApplication::installTranslator(texts.get())) qtTexts_ = std::move(texts);
}

bool TEdtTranslator::LoadLanguageFile(const QString& path) {
    return table_.load(std::filesystem::path(path.toStdString()));
}

QString TEdtTranslator::GetTranslation(int section, int key) {
    if (auto text = table_.find(section, key)) return QString::fromStdString(*text);
    if (debugMode_ && key != 1 && ui_)
        ui_->warning(nullptr, QStringLiteral("Error in language file"),
                     QStringLiteral("Translation %1, %2 not found.").arg(section).arg(key));
    return {};
}

QString TEdtTranslator::QuietTranslation(int section, int key) const {
    return QString::fromStdString(table_.find(section, key).value_or(std::string()));
}

void TEdtTranslator::TranslateComponent(QObject* c) {
    const int tag = tagOf(c);
    if (tag != 0) {
        if (isExactly<QPushButton>(c) || isExactly<QCheckBox>(c) || isExactly<QRadioButton>(c)) {
            auto* b = static_cast<QAbstractButton*>(c);
            b->setText(GetTranslation(tag, 0));
            b->setToolTip(GetTranslation(tag, 1));
        } else if (isExactly<QLabel>(c) || isExactly<TEdtURLLabel>(c)) {
            auto* l = static_cast<QLabel*>(c);
            l->setText(GetTranslation(tag, 0));
            l->setToolTip(GetTranslation(tag, 1));
            if (l->property(kSizedToText).toBool()) l->adjustSize();
        } else if (isExactly<QGroupBox>(c)) {
            auto* g = static_cast<QGroupBox*>(c);
            g->setTitle(GetTranslation(tag, 0));
            g->setToolTip(GetTranslation(tag, 1));
        } else if (isExactly<QFrame>(c)) {  // panel: its caption is its tool tip's companion
            auto* f = static_cast<QFrame*>(c);
            f->setAccessibleName(GetTranslation(tag, 0));
            f->setToolTip(GetTranslation(tag, 1));
        } else if (isExactly<QLineEdit>(c)) {
            auto* e = static_cast<QLineEdit*>(c);
            e->setText(GetTranslation(tag, 0));
            e->setToolTip(GetTranslation(tag, 1));
        } else if (isExactly<QFileDialog>(c)) {
            static_cast<QFileDialog*>(c)->setWindowTitle(GetTranslation(tag, 0));
        } else if (isExactly<QComboBox>(c)) {
            auto* box = static_cast<QComboBox*>(c);
            refillList(box, *this, tag);
            if (box->count() > 0) box->setCurrentIndex(0);
        } else if (isExactly<QListWidget>(c)) {
            auto* list = static_cast<QListWidget*>(c);
            refillList(list, *this, tag);
            if (list->count() > 0) list->setCurrentRow(0);
        } else if (isExactly<QTabWidget>(c)) {
            auto* tabs = static_cast<QTabWidget*>(c);
            for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, GetTranslation(tag, i));
            if (tabs->count() > 0) tabs->setCurrentIndex(0);
        }
    }
    if (auto* bar = qobject_cast<QMenuBar*>(c)) translateMenuItems(bar->actions());
    if (auto* menu = qobject_cast<QMenu*>(c); menu && !menu->parentWidget()) {
        translateMenuItems(menu->actions());  // a pop-up menu
    }
    for (QObject* child : c->children()) TranslateComponent(child);
}

void TEdtTranslator::translateMenuItems(const QList<QAction*>& items) {
    for (QAction* item : items) {
        const int tag = tagOf(item);
        if (tag == 0) continue;  // the whole branch keeps its texts
        item->setText(GetTranslation(tag, 0));
        if (QMenu* sub = item->menu()) translateMenuItems(sub->actions());
    }
}

TEdtURLLabel::TEdtURLLabel(UiSeam* ui, QWidget* parent) : QLabel(parent), ui_(ui) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(p);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
}

void TEdtURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (!toolTip().isEmpty() && ui_ && event->button() == Qt::LeftButton) {
        ui_->openDocument(toolTip());
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace tavo
