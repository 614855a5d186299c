#include "tagwindow/TAEIWindow.h"

#include "app/MenuIds.h"
#include "qt/QtOperator.h"
#include "setup/SetupDialogs.h"
#include "tagwindow/Workflows.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QResizeEvent>

#include <cstdlib>

namespace velmora {

namespace {

constexpr int kControlX = 210;
constexpr int kControlWidth = 100;
constexpr int kNoteX = 315;
constexpr int kListWidth = 770;
constexpr int kFormWidth = 790;
// The button block: two columns of 150 x 40 buttons, six rows 50 apart.
constexpr int kButtonWidth = 150;
constexpr int kButtonHeight = 40;
constexpr int kButtonColumnStep = 155;
constexpr int kButtonTop = 10;
constexpr int kButtonRowStep = 50;
constexpr int kButtonRows = 6;
constexpr int kRightMargin = 10;
// Space kept between a note and the button column, and between two notes.
constexpr int kNoteGap = 8;
// The note font and the smallest it is shrunk to when a line's notes would
// not fit beside the buttons.
constexpr int kNotePixels = 16;
constexpr int kSmallestNotePixels = 9;

struct ButtonLayout {
    const char* text;
    int command;
    int column; // 1 or 2
    int row;    // 1..6
};

constexpr ButtonLayout kButtons[11] = {
    {"Program Tag F1", TAEIWindow::kCmProgramTag, 1, 1},
    {"Read Tag F2", TAEIWindow::kCmReadTag, 1, 2},
    {"UMLER Lookup F12", TAEIWindow::kCmUmlerLookup, 1, 3},
    {"Clear Tag Counter", TAEIWindow::kCmClearTagCounter, 1, 4},
    {"Certify Tag F9", TAEIWindow::kCmCertifyTag, 1, 6},
    {"Next Tag F8", TAEIWindow::kCmNextTag, 2, 1},
    {"Add 10 Tag F7", TAEIWindow::kCmAdd10, 2, 2},
    {"Add 100 F6", TAEIWindow::kCmAdd100, 2, 3},
    {"Previous Tag F5", TAEIWindow::kCmPreviousTag, 2, 4},
    {"Subtract 10 Tag F4", TAEIWindow::kCmSubtract10, 2, 5},
    {"Subtract 100 F3", TAEIWindow::kCmSubtract100, 2, 6},
};

QFont FormFont(int pixelHeight) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(pixelHeight);
    f.setBold(true);
    return f;
}

bool IsLetterOrDigitKey(int key) {
    return (key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z);
}

bool IsNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right: return true;
    default: return false;
    }
}

} // namespace

TAEIWindow::TAEIWindow(AEIData& data, TagWorkflows& workflows, TagWindowHost& host, bool certifyPending,
                       QWidget* parent)
    : QWidget(parent), data_(data), workflows_(workflows), host_(host), certifyPending_(certifyPending) {
    const SettingsBlock settings = data_.GetSettings();
    formatIndex_ = settings.currentFormat < kFormatSlots ? settings.currentFormat : 0;
    format_ = data_.GetTagFormatData(formatIndex_);
    feetInches_ = settings.feetInches != 0;

    ApplyBackgroundColor(this, data_); // the settings' colour; a damaged index gives the first
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    BuildControls();
    BuildButtons();
}

TAEIWindow::~TAEIWindow() {
    if (popup_) delete popup_.data();
}

// ---- building ------------------------------------------------------------------

void TAEIWindow::BuildControls() {
    formatList_ = new QComboBox(this);
    formatList_->setObjectName(QStringLiteral("formatList"));
    formatList_->setGeometry(150, 8, 160, formatList_->sizeHint().height());
    connect(formatList_, qOverload<int>(&QComboBox::activated), this, &TAEIWindow::FormatChosen);

    const int rows = format_.RowCount();
    int line = 0;
    for (int row = 0; row < rows; ++row) {
        if (!format_.IsShown(row)) continue;
        const int y = LineY(line) - 2;
        if (format_.type[row] == kTypeSide) {
            auto* list = new QComboBox(this);
            list->setGeometry(kControlX, y, kControlWidth, 22);
            sideLists_[static_cast<std::size_t>(row)] = list;
        } else {
            auto* edit = new QLineEdit(this);
            edit->setGeometry(kControlX, y, kControlWidth, 22);
            edit->setMaxLength(std::max(1, FieldTextLimit(format_, row) - 1));
            const std::string cls = FieldFilterClass(format_, row, feetInches_);
            if (!cls.empty()) {
                QString pattern = QStringLiteral("[") + QString::fromLatin1(cls.c_str()) + QStringLiteral("]*");
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
            }
            if (format_.type[row] == kTypeLength)
                connect(edit, &QLineEdit::textChanged, this, [this] { update(); });
            edits_[static_cast<std::size_t>(row)] = edit;
        }
        QWidget* control = sideLists_[static_cast<std::size_t>(row)]
                               ? static_cast<QWidget*>(sideLists_[static_cast<std::size_t>(row)])
                               : static_cast<QWidget*>(edits_[static_cast<std::size_t>(row)]);
        control->setObjectName(QStringLiteral("field%1").arg(kFirstFieldId + row));
        control->setMouseTracking(true);
        control->installEventFilter(this);
        ++line;
    }
    shownLines_ = line;

    const int typeY = TagTypeLineY();
    tagTypeList_ = new QComboBox(this);
    tagTypeList_->setObjectName(QStringLiteral("tagType"));
    tagTypeList_->setGeometry(kControlX, typeY - 2, kControlWidth, 22);

    const int listY = std::max(typeY + 38, 308);
    recentTags_ = new QListWidget(this);
    recentTags_->setObjectName(QStringLiteral("recentTags"));
    recentTags_->setGeometry(10, listY, kListWidth, 180);
    recentTags_->setSortingEnabled(false);

    rawData_ = new QLabel(this);
    rawData_->setObjectName(QStringLiteral("rawData"));
    rawData_->setGeometry(10, listY + 180, kListWidth, 20);
    rawData_->setTextFormat(Qt::PlainText);

    for (QWidget* w : {static_cast<QWidget*>(formatList_), static_cast<QWidget*>(tagTypeList_),
                       static_cast<QWidget*>(recentTags_), static_cast<QWidget*>(rawData_)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    recentTags_->viewport()->setMouseTracking(true);
    recentTags_->viewport()->installEventFilter(this);

    setMinimumSize(kFormWidth, listY + 180 + 20 + 10);
    resize(minimumSize());
}

void TAEIWindow::BuildButtons() {
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const ButtonLayout& b = kButtons[i];
        auto* button = new QPushButton(QString::fromLatin1(b.text), this);
        button->setObjectName(QStringLiteral("button%1").arg(b.command));
        button->setMouseTracking(true);
        button->installEventFilter(this);
        const int command = b.command;
        connect(button, &QPushButton::clicked, this, [this, command] { Command(command); });
        buttons_[i] = button;
    }
    PlaceButtons();
}

void TAEIWindow::PlaceButtons() {
    const int second = std::max(kFormWidth - kRightMargin - kButtonWidth, width() - kRightMargin - kButtonWidth);
    const int first = second - kButtonColumnStep;
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const ButtonLayout& b = kButtons[i];
        if (!buttons_[i]) continue;
        buttons_[i]->setGeometry(b.column == 1 ? first : second, kButtonTop + kButtonRowStep * (b.row - 1),
                                 kButtonWidth, kButtonHeight);
    }
}

void TAEIWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceButtons();
}

QPushButton* TAEIWindow::Button(int commandId) const {
    for (std::size_t i = 0; i < std::size(kButtons); ++i)
        if (kButtons[i].command == commandId) return buttons_[i];
    return nullptr;
}

void TAEIWindow::FillFormatList() {
    formatList_->clear();
    int select = -1;
    for (int slot = 0; slot < kFormatSlots; ++slot) {
        const TagFormatData f = data_.GetTagFormatData(slot);
        if (!f.defined) continue;
        formatList_->addItem(FromCoreText(std::string(f.Name())), slot);
        if (slot == formatIndex_) select = formatList_->count() - 1;
    }
    formatList_->setCurrentIndex(select);
}

void TAEIWindow::FillTagTypeList() {
    tagTypeList_->clear();
    const int count = std::min(data_.TagTypeCount(), 20);
    for (int i = 0; i < count; ++i) tagTypeList_->addItem(FromCoreText(data_.GetAchTagType(i)));
    if (format_.defaultTag < tagTypeList_->count()) tagTypeList_->setCurrentIndex(format_.defaultTag);
}

void TAEIWindow::FillRecentTags() {
    recentTags_->clear();
    for (int i = 0; i < kRecentTagLines; ++i) {
        const std::string line = data_.GetRecentTagLine(i);
        if (line.empty()) break;
        recentTags_->addItem(FromCoreText(line));
    }
    if (recentTags_->count() > 0) recentTags_->setCurrentRow(0);
}

void TAEIWindow::SetupWindow() {
    settingUp_ = true;
    FillFormatList();
    sideRow_ = -1;
    for (int row = 0; row < kFieldRows; ++row) {
        QComboBox* list = sideLists_[static_cast<std::size_t>(row)];
        if (!list) continue;
        list->clear();
        list->addItems({QStringLiteral("LEFT"), QStringLiteral("RIGHT")});
        sideRow_ = row;
    }
    workflows_.SetupFormValues();
    FillTagTypeList();
    data_.GetOperator().ShowPrompt("", 0);
    FocusField(NextRow(-1));
    FillRecentTags();
    if (certifyPending_) {
        certifyPending_ = false;
        workflows_.CertificationFill();
    }
    settingUp_ = false;
    Repaint();
    FocusField(0);
}

// ---- TagForm ----------------------------------------------------------------------

FieldControl TAEIWindow::Control(int row) const {
    if (row < 0 || row >= kFieldRows) return FieldControl::None;
    if (sideLists_[static_cast<std::size_t>(row)]) return FieldControl::SideList;
    if (edits_[static_cast<std::size_t>(row)]) return FieldControl::Edit;
    return FieldControl::None;
}

QLineEdit* TAEIWindow::EditAt(int row) const {
    return row >= 0 && row < kFieldRows ? edits_[static_cast<std::size_t>(row)] : nullptr;
}

QComboBox* TAEIWindow::SideListAt(int row) const {
    return row >= 0 && row < kFieldRows ? sideLists_[static_cast<std::size_t>(row)] : nullptr;
}

std::string TAEIWindow::FieldText(int row) const {
    if (QLineEdit* e = EditAt(row)) return ToCoreText(e->text());
    if (QComboBox* c = SideListAt(row)) return ToCoreText(c->currentText());
    return {};
}

void TAEIWindow::SetFieldText(int row, const std::string& text) {
    if (QLineEdit* e = EditAt(row)) {
        const QString t = FromCoreText(text);
        // A value shown is never cut: the limit only bounds typing.
        if (t.size() > e->maxLength()) e->setMaxLength(static_cast<int>(t.size()));
        e->setText(t);
        e->setCursorPosition(static_cast<int>(t.size()));
        return;
    }
    if (QComboBox* c = SideListAt(row)) {
        const QString t = FromCoreText(text);
        int index = c->findText(t, Qt::MatchFixedString);
        if (index < 0 && !t.isEmpty()) index = c->findText(t, Qt::MatchStartsWith);
        if (index >= 0) c->setCurrentIndex(index);
    }
}

void TAEIWindow::Repaint() { update(); }

void TAEIWindow::FocusField(int row) {
    QWidget* control = nullptr;
    if (QLineEdit* e = EditAt(row)) control = e;
    else if (QComboBox* c = SideListAt(row)) control = c;
    if (!control) return;
    currentField_ = row;
    control->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* e = EditAt(row)) e->selectAll();
}

void TAEIWindow::SetRawData(const std::string& text) { rawData_->setText(FromCoreText(text)); }

std::string TAEIWindow::TagTypeText() const { return ToCoreText(tagTypeList_->currentText()); }

void TAEIWindow::SetTagTypeText(const std::string& text) {
    if (text.empty()) {
        tagTypeList_->setCurrentIndex(-1);
        return;
    }
    const int index = tagTypeList_->findText(FromCoreText(text), Qt::MatchFixedString);
    if (index >= 0) tagTypeList_->setCurrentIndex(index);
}

void TAEIWindow::ReplaceTagWindow(bool certifyPending) { host_.ReplaceTagWindow(certifyPending); }

// ---- commands -----------------------------------------------------------------------

void TAEIWindow::Command(int commandId) {
    switch (commandId) {
    case kCmProgramTag: workflows_.CmProgramTag(); break;
    case kCmReadTag: workflows_.CmReadTag(); break;
    case kCmUmlerLookup: workflows_.CmUmlerLookup(); break;
    case kCmNextTag: workflows_.CmNextTag(); break;
    case kCmPreviousTag: workflows_.CmPreviousTag(); break;
    case kCmRebuildForm: host_.ReplaceTagWindow(false); break;
    case kCmClearTagCounter: workflows_.CmClearTagCounter(); break;
    case kCmCertifyTag: workflows_.CmCertifyTag(); break;
    case kCmAdd10: workflows_.CmAdd10(); break;
    case kCmAdd100: workflows_.CmAdd100(); break;
    case kCmSubtract10: workflows_.CmSubtract10(); break;
    case kCmSubtract100: workflows_.CmSubtract100(); break;
    default: break;
    }
}

void TAEIWindow::FormatChosen(int index) {
    if (settingUp_ || index < 0) return;
    const std::string name = ToCoreText(formatList_->itemText(index)).substr(0, 30);
    workflows_.CmFormatChange(name);
}

// ---- painting -------------------------------------------------------------------------

int TAEIWindow::LineOfRow(int row) const {
    if (row < 0 || row >= kFieldRows || !format_.IsShown(row) || row >= format_.RowCount()) return -1;
    int line = 0;
    for (int r = 0; r < row; ++r)
        if (format_.IsShown(r)) ++line;
    return line;
}

QColor TAEIWindow::Background() const { return palette().color(QPalette::Window); }

FormNotes TAEIWindow::CurrentNotes() const {
    FieldTexts texts;
    for (int row = 0; row < kFieldRows; ++row) texts[static_cast<std::size_t>(row)] = FieldText(row);
    return BuildFormNotes(format_, texts, marks_, feetInches_);
}

void TAEIWindow::paintEvent(QPaintEvent*) {
    AEIData::OperationScope scope(data_, "TAEIWindow::Paint");
    if (settingUp_) return;
    QPainter p(this);
    p.setPen(Qt::black);
    p.setFont(FormFont(18));
    p.drawText(QRect(10, 10, 135, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Tag Format"));

    p.setFont(FormFont(16));
    const QFontMetrics fm(p.font());
    const int rows = format_.RowCount();
    for (int row = 0; row < rows; ++row) {
        const int line = LineOfRow(row);
        if (line < 0) continue;
        p.drawText(QPoint(10, LineY(line) + fm.ascent()), FromCoreText(FieldLabel(format_, row, feetInches_)));
    }
    p.drawText(QPoint(10, TagTypeLineY() + fm.ascent()), QStringLiteral("Tag Type"));

    for (const PlacedNote& n : PlacedNotes()) {
        p.setFont(FormFont(n.pixelSize));
        p.setPen(n.red ? QColor(255, 0, 0) : QColor(Qt::black));
        p.drawText(n.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, n.text);
    }
}

std::vector<TAEIWindow::PlacedNote> TAEIWindow::PlacedNotes() const {
    const FormNotes notes = CurrentNotes();
    // The notes of each line, in painting order; the class note has a line
    // of its own at the top of the column.
    struct Line {
        int top = 0;
        std::vector<PlacedNote> notes;
    };
    std::vector<Line> lines;
    auto lineAt = [&lines](int top) -> Line& {
        for (Line& l : lines)
            if (l.top == top) return l;
        lines.push_back(Line{top, {}});
        return lines.back();
    };
    for (const FormNote& n : notes.notes) {
        const int line = LineOfRow(n.row);
        if (line < 0) continue;
        lineAt(LineY(line)).notes.push_back(PlacedNote{n.row, FromCoreText(n.text), n.red, QRect(), kNotePixels});
    }
    if (!notes.classNote.empty())
        lineAt(kButtonTop).notes.push_back(PlacedNote{-1, FromCoreText(notes.classNote), true, QRect(), kNotePixels});

    const int buttonsLeft = buttons_[0] ? buttons_[0]->x() : kFormWidth;
    const int buttonsBottom = kButtonTop + kButtonRowStep * (kButtonRows - 1) + kButtonHeight;
    std::vector<PlacedNote> placed;
    for (Line& l : lines) {
        int pixels = kNotePixels;
        for (;; --pixels) {
            const QFontMetrics fm(FormFont(pixels));
            const bool besideButtons = l.top < buttonsBottom && l.top + fm.height() > kButtonTop;
            const int right = besideButtons ? buttonsLeft - kNoteGap : width() - kRightMargin;
            int total = 0;
            for (const PlacedNote& n : l.notes) total += fm.horizontalAdvance(n.text) + (total ? kNoteGap : 0);
            if (kNoteX + total <= right || pixels == kSmallestNotePixels) break;
        }
        const QFontMetrics fm(FormFont(pixels));
        // A smaller font keeps to the middle of the line.
        const int top = l.top + (QFontMetrics(FormFont(kNotePixels)).height() - fm.height()) / 2;
        int x = kNoteX;
        for (PlacedNote& n : l.notes) {
            const int advance = fm.horizontalAdvance(n.text);
            n.pixelSize = pixels;
            n.rect = QRect(x, top, advance, fm.height());
            x += advance + kNoteGap; // a second note on the line follows the first
            placed.push_back(n);
        }
    }
    return placed;
}

// ---- keyboard --------------------------------------------------------------------------

int TAEIWindow::NextRow(int row) const {
    for (int i = 1; i <= kFieldRows; ++i) {
        const int r = (row + i + kFieldRows) % kFieldRows;
        if (Control(r) != FieldControl::None) return r;
    }
    return row;
}

int TAEIWindow::PreviousRow(int row) const {
    for (int r = row - 1; r >= 0; --r)
        if (Control(r) != FieldControl::None) return r;
    return LastRowWithControl();
}

int TAEIWindow::LastRowWithControl() const {
    for (int r = kFieldRows - 1; r >= 0; --r)
        if (Control(r) != FieldControl::None) return r;
    return 0;
}

int TAEIWindow::RowOfControl(const QObject* control) const {
    for (int row = 0; row < kFieldRows; ++row)
        if (control == edits_[static_cast<std::size_t>(row)] || control == sideLists_[static_cast<std::size_t>(row)])
            return row;
    return -1;
}

void TAEIWindow::MoveTo(int row) {
    if (Control(row) == FieldControl::None) return;
    FocusField(row);
}

bool TAEIWindow::HandleFunctionKey(int key) {
    int command = 0;
    switch (key) {
    case Qt::Key_F1: command = kCmProgramTag; break;
    case Qt::Key_F2: command = kCmReadTag; break;
    case Qt::Key_F3: command = kCmSubtract100; break;
    case Qt::Key_F4: command = kCmSubtract10; break;
    case Qt::Key_F5: command = kCmPreviousTag; break;
    case Qt::Key_F6: command = kCmAdd100; break;
    case Qt::Key_F7: command = kCmAdd10; break;
    case Qt::Key_F8: command = kCmNextTag; break;
    case Qt::Key_F9: command = kCmCertifyTag; break;
    case Qt::Key_F12: command = kCmUmlerLookup; break;
    default: return false;
    }
    Command(command);
    return true;
}

bool TAEIWindow::HandleMappedKey(int row, int key, bool fromWindow) {
    (void)fromWindow; // FocusField selects an edit's whole text on every path
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down: MoveTo(NextRow(row)); return true;
    case Qt::Key_Up:
    case Qt::Key_Backtab: MoveTo(PreviousRow(row)); return true;
    case Qt::Key_Home: MoveTo(Control(0) != FieldControl::None ? 0 : NextRow(0)); return true;
    case Qt::Key_End: MoveTo(LastRowWithControl()); return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (QComboBox* side = SideListAt(row)) {
            side->setCurrentIndex(side->currentText() == QLatin1String("LEFT") ? side->findText(QStringLiteral("RIGHT"))
                                                                               : side->findText(QStringLiteral("LEFT")));
        }
        return true; // the caret does not move with Left and Right
    default: return HandleFunctionKey(key);
    }
}

void TAEIWindow::keyPressEvent(QKeyEvent* event) {
    if (HandleMappedKey(currentField_, event->key(), true)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TAEIWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* w = qobject_cast<QWidget*>(watched);
        auto* me = static_cast<QMouseEvent*>(event);
        if (w) MouseMovedTo(w->mapTo(this, me->position().toPoint()));
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* ke = static_cast<QKeyEvent*>(event);
    const int key = ke->key();
    const int row = RowOfControl(watched);
    if (row < 0) {
        // Buttons and lists: only the function keys.
        return HandleFunctionKey(key);
    }
    if (IsNavigationKey(key) && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return HandleMappedKey(row, key, false);
    if (HandleFunctionKey(key)) return true;
    QLineEdit* edit = EditAt(row);
    if (edit && IsLetterOrDigitKey(key) && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
        !edit->hasSelectedText()) {
        int full = FieldAdvanceCount(format_, row, feetInches_);
        if (full <= 0) full = edit->maxLength(); // a field without a maximum is full at its limit
        if (edit->text().size() >= full) {
            const int next = NextRow(row);
            MoveTo(next);
            // The key that found the field full goes on to the next field.
            if (next != row) {
                QWidget* target = EditAt(next) ? static_cast<QWidget*>(EditAt(next))
                                               : static_cast<QWidget*>(SideListAt(next));
                if (target) {
                    QKeyEvent copy(QEvent::KeyPress, key, ke->modifiers(), ke->text());
                    QApplication::sendEvent(target, &copy);
                }
            }
            return true;
        }
    }
    return false;
}

// ---- mouse -------------------------------------------------------------------------------

void TAEIWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        AEIData::OperationScope scope(data_, "TAEIWindow::EvLButtonDown");
        leftButtonHeld_ = true;
        return;
    }
    if (event->button() == Qt::RightButton) {
        AEIData::OperationScope scope(data_, "TAEIWindow::EvRButtonDown");
        ShowPopupMenu(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}

void TAEIWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        AEIData::OperationScope scope(data_, "TAEIWindow::EvLButtonUp");
        leftButtonHeld_ = false;
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TAEIWindow::mouseMoveEvent(QMouseEvent* event) {
    MouseMovedTo(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void TAEIWindow::MouseMovedTo(const QPoint& pos) {
    AEIData::OperationScope scope(data_, "TAEIWindow::EvMouseMove");
    const int distance = std::abs(pos.x() - lastMouse_.x()) + std::abs(pos.y() - lastMouse_.y());
    if (distance <= 10) return;
    lastMouse_ = pos;
    if (host_.PromptBlinking()) {
        data_.GetOperator().ShowPrompt(host_.PromptCopy(), 0);
        FocusField(currentField_);
    }
}

void TAEIWindow::ShowPopupMenu(const QPoint& globalPos) {
    if (popup_) popup_->deleteLater();
    auto* menu = new QMenu(this);
    const SettingsBlock s = data_.GetSettings();
    auto add = [&](const char* text, int command, bool checked) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setCheckable(true);
        a->setChecked(checked);
        a->setData(command);
        connect(a, &QAction::triggered, this, [this, command] { host_.RunCommand(command); });
    };
    add("Label Printing On", cmd::kLabelPrinting, s.labelPrintingOn != 0);
    add("Log File On", cmd::kLogFileOn, s.logFileOn != 0);
    add("Length in Feet-Inches", cmd::kLengthUnits, s.feetInches != 0);
    menu->addSeparator();
    add("Display Log File", cmd::kShowTagLog, s.tagLogWindowShown != 0);
    add("Display UMLER Record", cmd::kShowUMLERRecord, s.umlerWindowShown != 0);
    popup_ = menu;
    menu->popup(globalPos);
}

} // namespace velmora
