#include "editor/TTagFormat.h"

#include "qt/QtOperator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velmora {

namespace {

QLineEdit* MakeEdit(QWidget* parent, int maxChars, int widthChars, bool digitsOnly) {
    auto* e = new QLineEdit(parent);
    e->setMaxLength(maxChars);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * widthChars + 12);
    if (digitsOnly)
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    return e;
}

QLabel* Heading(const char* text, QWidget* parent) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

TTagFormat::TTagFormat(AEIData& data, FormatEditor& editor, TagFormatHooks hooks, QWidget* parent)
    : QDialog(parent), data_(data), editor_(editor), hooks_(std::move(hooks)) {
    setWindowTitle(QStringLiteral("AEI Tag Formats"));
    auto* layout = new QVBoxLayout(this);

    // The header.
    auto* header = new QGridLayout();
    name_ = MakeEdit(this, 30, 30, false);
    equipment_ = MakeEdit(this, 3, 4, true);
    formatCode_ = MakeEdit(this, 3, 4, true);
    tagType_ = MakeEdit(this, 3, 4, true);
    header->addWidget(new QLabel(QStringLiteral("Format Name"), this), 0, 0);
    header->addWidget(name_, 0, 1, 1, 3, Qt::AlignLeft);
    header->addWidget(new QLabel(QStringLiteral("Equipment Group Code"), this), 1, 0);
    header->addWidget(equipment_, 1, 1, Qt::AlignLeft);
    header->addWidget(new QLabel(QStringLiteral("Data Format Code"), this), 1, 2);
    header->addWidget(formatCode_, 1, 3, Qt::AlignLeft);
    header->addWidget(new QLabel(QStringLiteral("Tag Type Code"), this), 1, 4);
    header->addWidget(tagType_, 1, 5, Qt::AlignLeft);
    header->setColumnStretch(6, 1);
    layout->addLayout(header);

    // The field rows.
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    const char* headings[7] = {"Field Name", "Starting Bit", "Length", "Type", "Minimum", "Maximum", "Default"};
    for (int c = 0; c < 7; ++c) grid->addWidget(Heading(headings[c], this), 0, c);
    for (int r = 0; r < kFieldRows; ++r) {
        RowControls& row = rows_[static_cast<std::size_t>(r)];
        row.name = MakeEdit(this, 30, 24, false);
        row.start = MakeEdit(this, 3, 4, true);
        row.length = MakeEdit(this, 3, 4, true);
        row.type = new QComboBox(this);
        for (int t = 0; t < kDataTypeCount; ++t) row.type->addItem(QString::fromLatin1(DataTypeText(t).data(), static_cast<int>(DataTypeText(t).size())));
        row.minimum = MakeEdit(this, 9, 10, false);
        row.maximum = MakeEdit(this, 9, 10, false);
        row.defaultText = MakeEdit(this, 9, 10, false);
        QWidget* controls[7] = {row.name, row.start, row.length, row.type, row.minimum, row.maximum, row.defaultText};
        for (int c = 0; c < 7; ++c) grid->addWidget(controls[c], r + 1, c);
    }
    layout->addLayout(grid);

    // The default tag and the check boxes.
    auto* bottom = new QGridLayout();
    defaultTag_ = new QComboBox(this);
    const int tagTypes = data_.TagTypeCount();
    for (int i = 0; i < tagTypes; ++i) defaultTag_->addItem(FromCoreText(data_.GetAchTagType(i)));
    bottom->addWidget(new QLabel(QStringLiteral("Default Tag"), this), 0, 0);
    bottom->addWidget(defaultTag_, 0, 1, Qt::AlignLeft);
    notForReading_ = new QCheckBox(QStringLiteral("Do not use when reading tag if another format is available"), this);
    halfFrame_ = new QCheckBox(QStringLiteral("Used with only half-frame tag programmers"), this);
    bottom->addWidget(notForReading_, 1, 0, 1, 3);
    bottom->addWidget(halfFrame_, 2, 0, 1, 3);
    bottom->setColumnStretch(2, 1);
    layout->addLayout(bottom);

    auto* buttons = new QHBoxLayout();
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    copy_ = new QPushButton(QStringLiteral("Copy"), this);
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    helpButton_ = new QPushButton(QStringLiteral("Help"), this);
    ok_->setDefault(true);
    buttons->addStretch(1);
    for (QPushButton* b : {ok_, cancel_, copy_, delete_, helpButton_}) buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &TTagFormat::CmOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(copy_, &QPushButton::clicked, this, &TTagFormat::CmCopy);
    connect(delete_, &QPushButton::clicked, this, &TTagFormat::CmDelete);
    connect(helpButton_, &QPushButton::clicked, this, &TTagFormat::CmHelp);

    Show(editor_.Values());
    UpdateButtons();
    name_->setFocus();
}

FormatEditorValues TTagFormat::Collect() const {
    FormatEditorValues v;
    v.name = ToCoreText(name_->text());
    v.equipmentCode = ToCoreText(equipment_->text());
    v.formatCode = ToCoreText(formatCode_->text());
    v.tagTypeCode = ToCoreText(tagType_->text());
    for (int r = 0; r < kFieldRows; ++r) {
        const RowControls& c = rows_[static_cast<std::size_t>(r)];
        FormatEditorRow& row = v.rows[static_cast<std::size_t>(r)];
        row.name = ToCoreText(c.name->text());
        row.startingBit = ToCoreText(c.start->text());
        row.length = ToCoreText(c.length->text());
        row.type = c.type->currentIndex();
        row.minimum = ToCoreText(c.minimum->text());
        row.maximum = ToCoreText(c.maximum->text());
        row.defaultText = ToCoreText(c.defaultText->text());
    }
    v.defaultTag = ToCoreText(defaultTag_->currentText());
    v.notForReading = notForReading_->isChecked();
    v.halfFrameOnly = halfFrame_->isChecked();
    return v;
}

void TTagFormat::Show(const FormatEditorValues& v) {
    name_->setText(FromCoreText(v.name));
    equipment_->setText(FromCoreText(v.equipmentCode));
    formatCode_->setText(FromCoreText(v.formatCode));
    tagType_->setText(FromCoreText(v.tagTypeCode));
    for (int r = 0; r < kFieldRows; ++r) {
        const RowControls& c = rows_[static_cast<std::size_t>(r)];
        const FormatEditorRow& row = v.rows[static_cast<std::size_t>(r)];
        c.name->setText(FromCoreText(row.name));
        c.start->setText(FromCoreText(row.startingBit));
        c.length->setText(FromCoreText(row.length));
        c.type->setCurrentIndex(row.type >= 0 && row.type < kDataTypeCount ? row.type : kTypeNumeric);
        c.minimum->setText(FromCoreText(row.minimum));
        c.maximum->setText(FromCoreText(row.maximum));
        c.defaultText->setText(FromCoreText(row.defaultText));
    }
    defaultTag_->setCurrentIndex(defaultTag_->findText(FromCoreText(v.defaultTag), Qt::MatchExactly));
    notForReading_->setChecked(v.notForReading);
    halfFrame_->setChecked(v.halfFrameOnly);
}

QWidget* TTagFormat::Control(const EditorFocus& f) const {
    const bool rowOk = f.row >= 0 && f.row < kFieldRows;
    const RowControls* row = rowOk ? &rows_[static_cast<std::size_t>(f.row)] : nullptr;
    switch (f.control) {
    case EditorControl::FormatName: return name_;
    case EditorControl::EquipmentCode: return equipment_;
    case EditorControl::FormatCode: return formatCode_;
    case EditorControl::TagTypeCode: return tagType_;
    case EditorControl::FieldName: return row ? row->name : name_;
    case EditorControl::StartingBit: return row ? row->start : name_;
    case EditorControl::Length: return row ? row->length : name_;
    case EditorControl::Type: return row ? static_cast<QWidget*>(row->type) : name_;
    case EditorControl::Minimum: return row ? row->minimum : name_;
    case EditorControl::Maximum: return row ? row->maximum : name_;
    case EditorControl::Default: return row ? row->defaultText : name_;
    }
    return name_;
}

void TTagFormat::UpdateButtons() {
    ok_->setEnabled(editor_.OkEnabled());
    delete_->setEnabled(editor_.DeleteEnabled());
}

void TTagFormat::CmOk() {
    if (!editor_.OkEnabled()) return;
    const bool stored = editor_.Ok(Collect());
    if (!stored) {
        // The checks leave Minimum and Maximum upper-cased; the dialog stays
        // open with the focus on the control the message is about.
        Show(editor_.Values());
        UpdateButtons();
        QWidget* w = Control(editor_.FailedFocus());
        w->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
        return;
    }
    if (hooks_.formatsChanged) hooks_.formatsChanged();
    accept();
}

void TTagFormat::CmCopy() {
    if (!editor_.Copy(Collect())) return;
    Show(editor_.Values());
    UpdateButtons();
    name_->setFocus();
    name_->selectAll();
}

void TTagFormat::CmDelete() {
    if (!editor_.Delete()) {
        UpdateButtons();
        return;
    }
    if (hooks_.formatsChanged) hooks_.formatsChanged();
    accept();
}

void TTagFormat::CmHelp() {
    if (hooks_.help) hooks_.help();
}

} // namespace velmora
