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
#include <QTextLayout>
#include <QValidator>

namespace {

constexpr int kNameLimit = 64;

QString FromProject(const std::string& text) {
    return QString::fromUtf8(stavio::Cp1252ToUtf8(text).c_str());
}

std::string ToProject(const QString& text) {
    return stavio::Utf8ToCp1252(text.toUtf8().toStdString());
}

} // namespace

// Refuses typing beyond the limit while leaving a longer text that was put there by the
// program alone: an edit is refused only when it grows a text that is over the limit.
class TypingLimit : public QValidator {
public:
    TypingLimit(int limit, QLineEdit* edit) : QValidator(edit), limit_(limit) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { accepted_ = int(text.size()); });
    }
    // Called before the program sets a text of this length, which the validator sees first.
    void Expect(qsizetype length) { accepted_ = int(length); }
    State validate(QString& input, int&) const override {
        const int length = int(input.size());
        return length > limit_ && length > accepted_ ? Invalid : Acceptable;
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
    nameLimit_ = new TypingLimit(kNameLimit, Edit1);
    Edit1->setValidator(nameLimit_);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(font);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setGeometry(18, 250, 325, 117);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The scroll bar would change the wrapping width as the text grows.
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    for (QWidget* input :
         std::initializer_list<QWidget*>{Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Memo1}) {
        QPalette palette = input->palette();
        palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
        input->setPalette(palette);
    }

    mxFlatButton1 = new QPushButton(this);
    mxFlatButton1->setObjectName(QStringLiteral("mxFlatButton1"));
    mxFlatButton1->setGeometry(192, 384, 75, 25);
    mxFlatButton1->setDefault(true);
    connect(mxFlatButton1, &QPushButton::clicked, this, &QDialog::accept);
    mxFlatButton2 = new QPushButton(this);
    mxFlatButton2->setObjectName(QStringLiteral("mxFlatButton2"));
    mxFlatButton2->setGeometry(280, 384, 75, 25);
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

void TForm3::ShowProject(const stavio::TProjectClass& project) {
    const QString name = FromProject(project.ProjectName);
    nameLimit_->Expect(name.size());
    Edit1->setText(name);
    Edit2->setText(FromProject(project.Subject));
    Edit3->setText(FromProject(project.Author));
    Edit4->setText(FromProject(project.Copyright));
    Edit5->setText(FromProject(project.Customer));
    Edit6->setText(FromProject(project.CreationDate));
    Edit7->setText(FromProject(project.DiffusionDate));
    QStringList lines;
    for (const std::string& line : project.Comments)
        lines << FromProject(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TForm3::ShowNewProjectDefaults() {
    stavio::TProjectClass defaults;
    defaults.ProjectName = "New Project";
    defaults.Comments = {"..."};
    ShowProject(defaults);
}

void TForm3::StoreInto(stavio::TProjectClass& project) const {
    project.ProjectName = ToProject(Edit1->text());
    project.Subject = ToProject(Edit2->text());
    project.Author = ToProject(Edit3->text());
    project.Copyright = ToProject(Edit4->text());
    project.Customer = ToProject(Edit5->text());
    project.CreationDate = ToProject(Edit6->text());
    project.DiffusionDate = ToProject(Edit7->text());
    project.Comments = CommentLines();
}

std::vector<std::string> TForm3::CommentLines() const {
    std::vector<std::string> lines;
    QTextDocument* document = Memo1->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        layout->blockBoundingRect(block); // lays the block out at the box's width
        const QTextLayout* lines_ = block.layout();
        if (lines_ == nullptr || lines_->lineCount() == 0) {
            lines.push_back(ToProject(text));
            continue;
        }
        for (int i = 0; i < lines_->lineCount(); ++i) {
            const QTextLine line = lines_->lineAt(i);
            lines.push_back(ToProject(text.mid(line.textStart(), line.textLength())));
        }
    }
    if (!lines.empty() && lines.back().empty())
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
    Edit1->setFocus();
}

void TForm3::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The inputs are borderless; thin frames in the shadow colour outline them.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(9, 32, 344 - 1, 345 - 1);
    for (const QWidget* input : std::initializer_list<const QWidget*>{Edit1, Edit2, Edit3, Edit4,
                                                                      Edit5, Edit6, Edit7, Memo1})
        painter.drawRect(input->geometry().adjusted(-2, -2, 1, 1));
}
