#include "html/label/MarkupReading.h"

#include "base/Errors.h"
#include "html/Markup.h"

namespace vendora {
namespace {

// A run of text as it is written (a word carries the space after it), read as a reader speaks it.
class TextRun {
public:
    void Add(const AnsiString& text) { text_ += text; }
    AnsiString Take() {
        AnsiString spoken = SpokenText(text_);
        text_.clear();
        return spoken;
    }
    bool Empty() const { return SpokenText(text_).empty(); }

private:
    AnsiString text_;
};

AccessibleElement Element(AccessibleRole role, const AnsiString& name, const AnsiString& value = {},
                          unsigned states = 0) {
    AccessibleElement element;
    element.Role = role;
    element.Name = name;
    element.Value = value;
    element.States = states;
    return element;
}

// A pictured input field, or nothing for a hidden one.
void AddInput(const InputAttributes& input, std::vector<AccessibleElement>& into) {
    using namespace AccessibleState;
    switch (input.Type) {
    case FieldType::Hidden:
        return;
    case FieldType::Password:
        into.push_back(Element(AccessibleRole::EditableText, input.Name, {}, ReadOnly | Protected));
        return;
    case FieldType::Checkbox:
    case FieldType::Radio:
        into.push_back(Element(
            input.Type == FieldType::Checkbox ? AccessibleRole::CheckBox : AccessibleRole::RadioButton,
            input.Name.empty() ? input.Value : input.Name, {}, ReadOnly | (input.Checked ? Checked : 0u)));
        return;
    case FieldType::Reset:
    case FieldType::Submit:
        into.push_back(Element(AccessibleRole::PushButton, input.Value, {}, Unavailable));
        return;
    case FieldType::Image:
        into.push_back(Element(AccessibleRole::Graphic, input.Name));
        return;
    default:
        into.push_back(Element(AccessibleRole::EditableText, input.Name, input.Value, ReadOnly));
        return;
    }
}

} // namespace

std::vector<AccessibleElement> ReadMarkup(const AnsiString& markup) {
    std::vector<AccessibleElement> elements;
    TextRun text;
    TextRun link;
    bool inLink = false;
    auto flushText = [&] {
        if (!text.Empty())
            elements.push_back(Element(AccessibleRole::StaticText, text.Take()));
    };
    auto flushLink = [&] {
        if (inLink && !link.Empty())
            elements.push_back(Element(AccessibleRole::Link, link.Take()));
        inLink = false;
    };
    MarkupReader reader(markup);
    try {
        for (Token token = reader.Next(); token.Kind != TokenKind::End; token = reader.Next()) {
            TextRun& run = inLink ? link : text;
            if (token.Kind != TokenKind::TagToken) {
                run.Add(token.Text);
                continue;
            }
            const Tag& tag = token.Markup;
            switch (tag.Kind) {
            case TagKind::Anchor:
                flushLink();
                if (tag.HasHref) {
                    flushText();
                    inLink = true;
                }
                break;
            case TagKind::AnchorEnd:
                flushLink();
                break;
            case TagKind::Paragraph:
            case TagKind::Heading:
            case TagKind::HeadingEnd:
            case TagKind::Rule:
                flushLink();
                flushText();
                break;
            case TagKind::TextArea:
                flushLink();
                flushText();
                elements.push_back(Element(AccessibleRole::EditableText, {}, tag.TextArea.Content,
                                           AccessibleState::ReadOnly));
                break;
            case TagKind::Input:
                flushLink();
                flushText();
                AddInput(tag.Input, elements);
                break;
            case TagKind::AsText:
                run.Add(tag.Text);
                break;
            default:
                break;
            }
        }
    } catch (const EConvertError&) {
        // The painter stops at the same place: what follows is not shown, so it is not read either.
    }
    flushLink();
    flushText();
    return elements;
}

} // namespace vendora
