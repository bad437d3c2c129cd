#include "db/RecordFilter.h"

#include "db/Field.h"
#include "db/QuotedText.h"
#include "db/format/DBEngineError.h"

#include <optional>

namespace {

enum class TOp { Eq, Ne, Lt, Gt, Le, Ge };

struct TOperand {
    int Field = -1; // -1: a constant
    TValue Constant;
    bool IsNull = false; // the word NULL: tests for a blank value
};

enum class TTokKind { Word, Number, Text, Field, Op, LParen, RParen, End };

struct TTok {
    TTokKind Kind = TTokKind::End;
    QString Text;
    int Pos = 0;
};

[[noreturn]] void SyntaxError(const QString& filter, const QString& why, int pos) {
    throw EDBEngineError(DBErrorCode::SqlSyntax,
                         QStringLiteral("Filter expression error: %1 at position %2 in \"%3\"")
                             .arg(why)
                             .arg(pos + 1)
                             .arg(filter));
}

std::vector<TTok> Tokenize(const QString& s) {
    std::vector<TTok> out;
    int i = 0;
    const int n = static_cast<int>(s.size());
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        TTok t;
        t.Pos = i;
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            t.Kind = c == QLatin1Char('(') ? TTokKind::LParen : TTokKind::RParen;
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            t.Kind = TTokKind::Text;
            const auto text = ReadQuotedText(s, i);
            if (!text)
                SyntaxError(s, QStringLiteral("unterminated text"), t.Pos);
            t.Text = *text;
        } else if (c == QLatin1Char('[')) {
            t.Kind = TTokKind::Field;
            const auto close = s.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                SyntaxError(s, QStringLiteral("missing ]"), i);
            t.Text = s.mid(i + 1, close - i - 1);
            i = static_cast<int>(close) + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            t.Kind = TTokKind::Number;
            while (i < n && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                t.Text += s[i++];
            if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
                t.Text += s[i++];
                if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
                    t.Text += s[i++];
                while (i < n && s[i].isDigit())
                    t.Text += s[i++];
            }
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            t.Kind = TTokKind::Word;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_') ||
                             s[i] == QLatin1Char('$') || s[i] == QLatin1Char('#')))
                t.Text += s[i++];
        } else if (QStringLiteral("=<>!-").contains(c)) {
            t.Kind = TTokKind::Op;
            t.Text = c;
            ++i;
            if (i < n && ((c == QLatin1Char('<') &&
                           (s[i] == QLatin1Char('>') || s[i] == QLatin1Char('='))) ||
                          (c == QLatin1Char('>') && s[i] == QLatin1Char('=')) ||
                          (c == QLatin1Char('!') && s[i] == QLatin1Char('='))))
                t.Text += s[i++];
            if (t.Text == QLatin1String("!"))
                SyntaxError(s, QStringLiteral("unexpected '!'"), t.Pos);
        } else {
            SyntaxError(s, QStringLiteral("unexpected character '%1'").arg(c), i);
        }
        out.push_back(std::move(t));
    }
    TTok end;
    end.Pos = n;
    out.push_back(end);
    return out;
}

bool IsWord(const TTok& t, const char* word) {
    return t.Kind == TTokKind::Word &&
           t.Text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Orders two non-blank values: <0, 0, >0; nullopt when they do not compare.
std::optional<int> CompareValues(const TValue& a, const TValue& b) {
    auto number = [](const TValue& v) -> std::optional<double> {
        if (const auto* i = std::get_if<qint64>(&v))
            return static_cast<double>(*i);
        if (const auto* d = std::get_if<double>(&v))
            return *d;
        if (const auto* x = std::get_if<bool>(&v))
            return *x ? 1.0 : 0.0;
        return std::nullopt;
    };
    if (const auto* ia = std::get_if<qint64>(&a)) {
        if (const auto* ib = std::get_if<qint64>(&b))
            return *ia < *ib ? -1 : (*ia > *ib ? 1 : 0);
    }
    const auto na = number(a);
    const auto nb = number(b);
    if (na && nb)
        return *na < *nb ? -1 : (*na > *nb ? 1 : 0);
    if (a.index() != b.index()) {
        if (na || nb)
            return std::nullopt;
        const int c = ValueToText(a).compare(ValueToText(b));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return std::visit(
        [&b](const auto& x) -> std::optional<int> {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return 0;
            } else if constexpr (std::is_same_v<T, QString>) {
                const int c = x.compare(std::get<T>(b));
                return c < 0 ? -1 : (c > 0 ? 1 : 0);
            } else {
                const T& y = std::get<T>(b);
                return x < y ? -1 : (y < x ? 1 : 0);
            }
        },
        a);
}

} // namespace

struct TRecordFilter::TNode {
    enum class TKind { And, Or, Not, Compare } Kind = TKind::Compare;
    std::unique_ptr<TNode> Left;
    std::unique_ptr<TNode> Right;
    TOp Op = TOp::Eq;
    TOperand A;
    TOperand B;

    bool Eval(const std::function<TValue(int)>& value) const {
        switch (Kind) {
        case TKind::And:
            return Left->Eval(value) && Right->Eval(value);
        case TKind::Or:
            return Left->Eval(value) || Right->Eval(value);
        case TKind::Not:
            return !Left->Eval(value);
        case TKind::Compare:
            break;
        }
        auto get = [&value](const TOperand& o) {
            return o.Field >= 0 ? value(o.Field) : o.Constant;
        };
        if (A.IsNull || B.IsNull) {
            const bool blank = IsBlank(get(A.IsNull ? B : A));
            return Op == TOp::Eq ? blank : !blank;
        }
        const TValue a = get(A);
        const TValue b = get(B);
        if (IsBlank(a) || IsBlank(b))
            return false;
        const auto c = CompareValues(a, b);
        if (!c)
            return Op == TOp::Ne;
        switch (Op) {
        case TOp::Eq:
            return *c == 0;
        case TOp::Ne:
            return *c != 0;
        case TOp::Lt:
            return *c < 0;
        case TOp::Gt:
            return *c > 0;
        case TOp::Le:
            return *c <= 0;
        case TOp::Ge:
            return *c >= 0;
        }
        return false;
    }
};

namespace {

class TParser {
public:
    using TNode = TRecordFilter::TNode;

    TParser(const QString& text, const std::vector<TFieldDef>& fields)
        : FText(text), FFields(fields), FToks(Tokenize(text)) {}

    std::unique_ptr<TNode> Parse() {
        auto node = ParseOr();
        if (Peek().Kind != TTokKind::End)
            SyntaxError(FText, QStringLiteral("unexpected '%1'").arg(Peek().Text), Peek().Pos);
        return node;
    }

private:
    const TTok& Peek() const { return FToks[FPos]; }
    const TTok& Take() { return FToks[FPos++]; }

    std::unique_ptr<TNode> Binary(TNode::TKind kind, std::unique_ptr<TNode> l,
                                  std::unique_ptr<TNode> r) {
        auto n = std::make_unique<TNode>();
        n->Kind = kind;
        n->Left = std::move(l);
        n->Right = std::move(r);
        return n;
    }

    std::unique_ptr<TNode> ParseOr() {
        auto left = ParseAnd();
        while (IsWord(Peek(), "OR")) {
            Take();
            left = Binary(TNode::TKind::Or, std::move(left), ParseAnd());
        }
        return left;
    }

    std::unique_ptr<TNode> ParseAnd() {
        auto left = ParseNot();
        while (IsWord(Peek(), "AND")) {
            Take();
            left = Binary(TNode::TKind::And, std::move(left), ParseNot());
        }
        return left;
    }

    std::unique_ptr<TNode> ParseNot() {
        if (IsWord(Peek(), "NOT")) {
            Take();
            return Binary(TNode::TKind::Not, ParseNot(), nullptr);
        }
        if (Peek().Kind == TTokKind::LParen) {
            Take();
            auto inner = ParseOr();
            if (Peek().Kind != TTokKind::RParen)
                SyntaxError(FText, QStringLiteral("missing )"), Peek().Pos);
            Take();
            return inner;
        }
        return ParseComparison();
    }

    TOperand ParseOperand() {
        const TTok& t = Take();
        TOperand o;
        bool negative = false;
        const TTok* v = &t;
        if (t.Kind == TTokKind::Op && t.Text == QLatin1String("-")) {
            negative = true;
            v = &Take();
            if (v->Kind != TTokKind::Number)
                SyntaxError(FText, QStringLiteral("a number must follow '-'"), v->Pos);
        }
        switch (v->Kind) {
        case TTokKind::Number: {
            const QString text = negative ? QLatin1Char('-') + v->Text : v->Text;
            bool ok = false;
            if (!text.contains(QLatin1Char('.')) &&
                !text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
                const qint64 i = text.toLongLong(&ok);
                if (ok)
                    o.Constant = i;
            }
            if (!ok) {
                const double d = text.toDouble(&ok);
                if (!ok)
                    SyntaxError(FText, QStringLiteral("bad number '%1'").arg(text), v->Pos);
                o.Constant = d;
            }
            return o;
        }
        case TTokKind::Text:
            o.Constant = v->Text;
            return o;
        case TTokKind::Word:
            if (v->Text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0 ||
                v->Text.compare(QLatin1String("BLANK"), Qt::CaseInsensitive) == 0) {
                o.IsNull = true;
                return o;
            }
            [[fallthrough]];
        case TTokKind::Field:
            o.Field = FieldIndex(*v);
            return o;
        default:
            SyntaxError(FText,
                        v->Kind == TTokKind::End ? QStringLiteral("unexpected end")
                                                 : QStringLiteral("unexpected '%1'").arg(v->Text),
                        v->Pos);
        }
    }

    int FieldIndex(const TTok& t) const {
        for (std::size_t i = 0; i < FFields.size(); ++i)
            if (FFields[i].Name.compare(t.Text, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        throw EDBEngineError(
            DBErrorCode::NotFound,
            QStringLiteral("Filter expression error: field '%1' not found in \"%2\"")
                .arg(t.Text, FText));
    }

    std::unique_ptr<TNode> ParseComparison() {
        auto node = std::make_unique<TNode>();
        node->A = ParseOperand();
        const TTok& op = Take();
        if (op.Kind != TTokKind::Op || op.Text == QLatin1String("-"))
            SyntaxError(FText, QStringLiteral("a comparison operator is expected"), op.Pos);
        static const std::pair<const char*, TOp> ops[] = {
            {"=", TOp::Eq}, {"<>", TOp::Ne}, {"!=", TOp::Ne}, {"<", TOp::Lt},
            {">", TOp::Gt}, {"<=", TOp::Le}, {">=", TOp::Ge}};
        for (const auto& [text, value] : ops)
            if (op.Text == QLatin1String(text))
                node->Op = value;
        node->B = ParseOperand();
        if ((node->A.IsNull || node->B.IsNull) && node->Op != TOp::Eq && node->Op != TOp::Ne)
            SyntaxError(FText, QStringLiteral("NULL compares only with = or <>"), op.Pos);
        // A constant takes the type of the field it is compared with, so that
        // "12" matches an integer 12 and a date text a date.
        auto fit = [this](const TOperand& field, TOperand& constant) {
            if (field.Field >= 0 && constant.Field < 0 && !constant.IsNull) {
                const TFieldDef& def = FFields[static_cast<std::size_t>(field.Field)];
                constant.Constant =
                    ConvertValue(constant.Constant, def.Type,
                                 QStringLiteral("Filter on field %1").arg(def.Name));
            }
        };
        fit(node->A, node->B);
        fit(node->B, node->A);
        return node;
    }

    const QString& FText;
    const std::vector<TFieldDef>& FFields;
    std::vector<TTok> FToks;
    std::size_t FPos = 0;
};

} // namespace

TRecordFilter::TRecordFilter() = default;
TRecordFilter::~TRecordFilter() = default;
TRecordFilter::TRecordFilter(TRecordFilter&&) noexcept = default;
TRecordFilter& TRecordFilter::operator=(TRecordFilter&&) noexcept = default;

TRecordFilter TRecordFilter::Parse(const QString& text, const std::vector<TFieldDef>& fields) {
    TRecordFilter filter;
    if (text.trimmed().isEmpty())
        return filter;
    filter.FRoot = TParser(text, fields).Parse();
    return filter;
}

bool TRecordFilter::Accepts(const std::function<TValue(int field)>& value) const {
    return !FRoot || FRoot->Eval(value);
}
