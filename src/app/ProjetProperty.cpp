// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProjetProperty.h"

#include "StavioApp.h"
#include "TextFile.h"
#include "text.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QValidator>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <utility>

namespace {

constexpr int kNameLimit = 64;

QString FromProject(const std::string& text) {
    return QString::fromUtf8(stavio::Cp1252ToUtf8(text).c_str());
}

std::string ToProject(const QString& text) {
    return stavio::Utf8ToCp1252(text.toUtf8().toStdString());
}

// A project text is Windows-1252; the comment box's line separators stand for line breaks.
bool IsStorable(char32_t c, bool inCommentBox) {
    return stavio::InCp1252(c) ||
           (inCommentBox && (c == QChar::LineSeparator || c == QChar::ParagraphSeparator));
}

// The character of text at i (a surrogate pair counts as one) and its length.
std::pair<char32_t, qsizetype> CharacterAt(const QString& text, qsizetype i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(text.at(i), text.at(i + 1)), 2};
    return {text.at(i).unicode(), 1};
}

} // namespace

// Refuses, as they are typed or pasted, the characters a project text cannot hold; the rest
// of what came in stays. refused hears which ones went.
class StorableText : public QValidator {
public:
    StorableText(QLineEdit* edit, std::function<void(const QString&)> refused)
        : QValidator(edit), refused_(std::move(refused)) {}
    State validate(QString& input, int& pos) const override {
        QString refused;
        for (qsizetype i = 0; i < input.size();) {
            const auto [c, length] = CharacterAt(input, i);
            if (IsStorable(c, false)) {
                i += length;
                continue;
            }
            refused += input.mid(i, length);
            input.remove(i, length);
            if (pos > i)
                pos -= int(std::min(length, pos - i));
        }
        if (!refused.isEmpty())
            refused_(refused);
        return Acceptable;
    }

private:
    std::function<void(const QString&)> refused_;
};

// Limits typing and pasting while leaving a longer text that was put there by the program
// alone: of what is typed or pasted, only as much is kept as fits; a text that is already
// over the limit may shrink but not grow.
class TypingLimit : public StorableText {
public:
    TypingLimit(int limit, QLineEdit* edit, std::function<void(const QString&)> refused)
        : StorableText(edit, std::move(refused)), limit_(limit) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { accepted_ = int(text.size()); });
    }
    // Called before the program sets a text of this length, which the validator sees first.
    void Expect(qsizetype length) { accepted_ = int(length); }
    State validate(QString& input, int& pos) const override {
        StorableText::validate(input, pos);
        const int excess = int(input.size()) - std::max(limit_, accepted_);
        if (excess <= 0)
            return Acceptable;
        // The inserted characters end at the cursor: the last ones that do not fit go.
        const int from = std::max(0, pos - excess);
        input.remove(from, pos - from);
        pos = from;
        return int(input.size()) > std::max(limit_, accepted_) ? Invalid : Acceptable;
    }

private:
    int limit_;
    int accepted_ = 0;
};

TForm3::TForm3(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("Form3"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(362, 415);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);

    auto label = [&](const char* name, int left, int top, int width) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(font);
        l->setGeometry(left, top, width, 15);
        return l;
    };
    auto edit = [&](const char* name, int left, int top, int width) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setFont(font);
        e->setFrame(false);
        e->setGeometry(left, top, width, 15);
        e->setMaxLength(std::numeric_limits<int>::max()); // texts from files may be long
        return e;
    };
    Label7 = label("Label7", 9, 8, 112);
    Label3 = label("Label3", 16, 40, 105);
    Label4 = label("Label4", 16, 72, 105);
    Label5 = label("Label5", 16, 104, 105);
    Label6 = label("Label6", 16, 136, 105);
    Label1 = label("Label1", 16, 168, 105);
    Label8 = label("Label8", 16, 200, 105);
    Label2 = label("Label2", 16, 232, 329);
    Edit1 = edit("Edit1", 129, 9, 223);
    Edit2 = edit("Edit2", 129, 41, 215);
    Edit3 = edit("Edit3", 129, 73, 215);
    Edit4 = edit("Edit4", 129, 105, 215);
    Edit5 = edit("Edit5", 129, 137, 215);
    Edit6 = edit("Edit6", 129, 169, 215);
    Edit7 = edit("Edit7", 129, 201, 215);
    LayOutRows(font);

    // Says why a typed or pasted character did not come in, left of the buttons.
    RefusedHint = new QLabel(this);
    RefusedHint->setObjectName(QStringLiteral("RefusedHint"));
    RefusedHint->setFont(font);
    RefusedHint->setWordWrap(true);
    RefusedHint->setGeometry(9, 379, 179 + extraWidth_, 34);
    const auto refused = [this](const QString& characters) {
        RefusedHint->setText(QString::fromStdString(stavio::TextUtf8(stavio::DialogTexts,
                                                                     app_.State.CurrentLanguage, 1))
                                 .arg(characters));
    };
    nameLimit_ = new TypingLimit(kNameLimit, Edit1, refused);
    Edit1->setValidator(nameLimit_);
    for (QLineEdit* other : {Edit2, Edit3, Edit4, Edit5, Edit6, Edit7})
        other->setValidator(new StorableText(other, refused));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(font);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setGeometry(18, 250, 325 + extraWidth_, 117);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The scroll bar would change the wrapping width as the text grows.
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The box has no validator: what came in is looked at as soon as it is there.
    connect(Memo1->document(), &QTextDocument::contentsChange, this,
            [this, refused](int from, int, int added) {
                QTextDocument* document = Memo1->document();
                QString inserted;
                for (int i = from; i < from + added; ++i)
                    inserted += document->characterAt(i);
                QString gone;
                // Backwards, so that the positions still to look at stay where they are.
                for (qsizetype i = inserted.size() - 1; i >= 0; --i) {
                    qsizetype start = i;
                    if (inserted.at(i).isLowSurrogate() && i > 0 &&
                        inserted.at(i - 1).isHighSurrogate())
                        start = i - 1;
                    const auto [c, length] = CharacterAt(inserted, start);
                    i = start;
                    if (IsStorable(c, true))
                        continue;
                    QTextCursor cursor(document);
                    cursor.setPosition(from + int(start));
                    cursor.setPosition(from + int(start + length), QTextCursor::KeepAnchor);
                    cursor.removeSelectedText();
                    gone.prepend(inserted.mid(start, length));
                }
                if (!gone.isEmpty())
                    refused(gone);
            });

    for (QWidget* input :
         std::initializer_list<QWidget*>{Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Memo1}) {
        QPalette palette = input->palette();
        palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
        input->setPalette(palette);
    }

    mxFlatButton1 = new QPushButton(this);
    mxFlatButton1->setObjectName(QStringLiteral("mxFlatButton1"));
    mxFlatButton1->setGeometry(192 + extraWidth_, 384, 75, 25);
    mxFlatButton1->setDefault(true);
    connect(mxFlatButton1, &QPushButton::clicked, this, &QDialog::accept);
    mxFlatButton2 = new QPushButton(this);
    mxFlatButton2->setObjectName(QStringLiteral("mxFlatButton2"));
    mxFlatButton2->setGeometry(280 + extraWidth_, 384, 75, 25);
    connect(mxFlatButton2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(Memo1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, Edit5);
    setTabOrder(Edit5, Edit6);
    setTabOrder(Edit6, Edit7);
    setTabOrder(Edit7, mxFlatButton1);
    setTabOrder(mxFlatButton1, mxFlatButton2);
}

void TForm3::LayOutRows(const QFont& font) {
    // The captions' column takes the widest caption of all five languages, so none is cut
    // whatever the language; the inputs follow it and end at the frame. The dialog grows
    // only where the inputs would become too narrow.
    const QFontMetrics metrics(font);
    int column = 105;
    for (int language = 1; language <= 5; ++language)
        for (int k = 1; k <= 7; ++k)
            column = std::max(
                column, metrics.horizontalAdvance(QString::fromStdString(stavio::TextUtf8(
                            stavio::PropertyTexts, static_cast<stavio::Language>(language), k))) +
                            6);
    constexpr int kNarrowestInput = 180;
    const int inputLeft = 16 + column + 8;
    extraWidth_ = std::max(0, inputLeft + kNarrowestInput - 344);
    const int inputRight = 344 + extraWidth_;
    setFixedSize(362 + extraWidth_, 415);
    Label7->setGeometry(9, 8, column + 7, 15);
    Edit1->setGeometry(inputLeft, 9, inputRight + 8 - inputLeft, 15);
    const std::pair<QLabel*, QLineEdit*> rows[] = {{Label3, Edit2}, {Label4, Edit3},
                                                   {Label5, Edit4}, {Label6, Edit5},
                                                   {Label1, Edit6}, {Label8, Edit7}};
    int top = 40;
    for (const auto& [caption, input] : rows) {
        caption->setGeometry(16, top, column, 15);
        input->setGeometry(inputLeft, top + 1, inputRight - inputLeft, 15);
        top += 32;
    }
    Label2->setGeometry(16, 232, 329 + extraWidth_, 15);
}

namespace {

// A lone LF belongs to its comment line; the box shows it as a line break inside the line.
QString ShownLine(const std::string& line) {
    return FromProject(line).replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
}

} // namespace

void TForm3::ShowProject(const stavio::TProjectClass& project) {
    shownTexts_ = {project.ProjectName,  project.Subject,  project.Author,
                   project.Copyright,    project.Customer, project.CreationDate,
                   project.DiffusionDate};
    const std::array<QLineEdit*, 7> edits = Edits();
    nameLimit_->Expect(FromProject(project.ProjectName).size());
    for (size_t i = 0; i < edits.size(); ++i) {
        edits[i]->setText(FromProject(shownTexts_[i]));
        shownEdits_[i] = edits[i]->text();
    }
    QStringList lines;
    for (const std::string& line : project.Comments)
        lines << ShownLine(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    shownComments_ = Memo1->toPlainText();
    commentsWereEmpty_ = project.Comments.empty();
}

void TForm3::ShowNewProjectDefaults() {
    stavio::TProjectClass defaults;
    defaults.ProjectName = "New Project";
    defaults.Comments = {"..."};
    ShowProject(defaults);
}

std::array<QLineEdit*, 7> TForm3::Edits() const {
    return {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7};
}

void TForm3::StoreInto(stavio::TProjectClass& project) const {
    // A text left as shown keeps its bytes, whatever an edit would make of them.
    const std::array<QLineEdit*, 7> edits = Edits();
    std::array<std::string, 7> texts;
    for (size_t i = 0; i < edits.size(); ++i)
        texts[i] =
            edits[i]->text() == shownEdits_[i] ? shownTexts_[i] : ToProject(edits[i]->text());
    project.ProjectName = texts[0];
    project.Subject = texts[1];
    project.Author = texts[2];
    project.Copyright = texts[3];
    project.Customer = texts[4];
    project.CreationDate = texts[5];
    project.DiffusionDate = texts[6];
    project.Comments = CommentLines();
}

std::vector<std::string> TForm3::CommentLines() const {
    const bool untouched = Memo1->toPlainText() == shownComments_;
    if (untouched && commentsWereEmpty_)
        return {};
    std::vector<std::string> lines;
    QTextDocument* document = Memo1->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        layout->blockBoundingRect(block); // lays the block out at the box's width
        const QTextLayout* pieces = block.layout();
        if (pieces == nullptr || pieces->lineCount() == 0) {
            lines.push_back(ToProject(text));
            continue;
        }
        // Each piece the box wraps is a line; a line break inside a line is no wrap.
        QString line;
        for (int i = 0; i < pieces->lineCount(); ++i) {
            const QTextLine piece = pieces->lineAt(i);
            line += text.mid(piece.textStart(), piece.textLength());
            if (line.endsWith(QChar(QChar::LineSeparator)) && i + 1 < pieces->lineCount())
                continue;
            lines.push_back(
                ToProject(line.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'))));
            line.clear();
        }
    }
    // The empty line a typed text ends with is not a comment; one the project had stays.
    if (!untouched && !lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TForm3::FormActivate() {
    const stavio::Language language = app_.State.CurrentLanguage;
    auto text = [&](int k) {
        return QString::fromUtf8(stavio::TextUtf8(stavio::PropertyTexts, language, k).c_str());
    };
    setWindowTitle(text(0));
    Label7->setText(text(1));
    Label3->setText(text(2));
    Label4->setText(text(3));
    Label5->setText(text(4));
    Label6->setText(text(5));
    Label1->setText(text(6));
    Label8->setText(text(7));
    Label2->setText(text(8));
    mxFlatButton1->setText(text(9));
    mxFlatButton2->setText(text(10));
    RefusedHint->clear();
    Edit1->setFocus();
}

void TForm3::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The inputs are borderless; thin frames in the shadow colour outline them.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(9, 32, 344 + extraWidth_ - 1, 345 - 1);
    for (const QWidget* input : std::initializer_list<const QWidget*>{Edit1, Edit2, Edit3, Edit4,
                                                                      Edit5, Edit6, Edit7, Memo1})
        painter.drawRect(input->geometry().adjusted(-2, -2, 1, 1));
}
