// The Group Policy templates must load in the policy editor and write only values the program reads: each
// file well formed, every string and presentation the ADMX names present in every language, and every
// policy's key, value name, type and range the ones the program's table gives.
#include "common/TextUtil.h"
#include "content/XmlReader.h"
#include "store/ManagedValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick;

namespace {

const std::string kSource = PLUMWICK_SOURCE_DIR;
const std::vector<std::string> kLanguages{"en-US", "zh-CN"};

struct Element {
    std::string name; // without a namespace prefix
    std::map<std::string, std::string> attributes;
    std::string text;
    std::vector<std::unique_ptr<Element>> children;

    std::string Attribute(const std::string& key) const {
        auto it = attributes.find(key);
        return it == attributes.end() ? std::string() : it->second;
    }
    std::vector<const Element*> Children(const std::string& childName) const {
        std::vector<const Element*> found;
        for (const auto& child : children) {
            if (child->name == childName) {
                found.push_back(child.get());
            }
        }
        return found;
    }
    const Element* Child(const std::string& childName) const {
        auto found = Children(childName);
        return found.empty() ? nullptr : found.front();
    }
};

class TreeBuilder : public XmlHandler {
  public:
    Element root;

    void StartElement(std::u16string_view name, const std::vector<XmlAttribute>& attributes) override {
        Element* parent = open_.empty() ? &root : open_.back();
        parent->children.push_back(std::make_unique<Element>());
        Element* element = parent->children.back().get();
        element->name = Utf16ToUtf8(LocalName(name));
        for (const XmlAttribute& attribute : attributes) {
            element->attributes[Utf16ToUtf8(attribute.name)] = Utf16ToUtf8(attribute.value);
        }
        open_.push_back(element);
    }
    void EndElement(std::u16string_view) override { open_.pop_back(); }
    void Text(std::u16string_view text) override {
        if (!open_.empty()) {
            open_.back()->text += Utf16ToUtf8(text);
        }
    }

  private:
    std::vector<Element*> open_;
};

// The document's root element; a failure names the file and line when it is not well formed.
std::unique_ptr<Element> Load(const std::string& relative) {
    std::ifstream in(kSource + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in) << relative << " is missing";
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string text = bytes.str();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    EXPECT_TRUE(IsValidUtf8(text)) << relative;
    TreeBuilder builder;
    std::optional<XmlError> error = ReadXml(Utf8ToUtf16(text), builder);
    EXPECT_FALSE(error) << relative << ":" << (error ? error->line : 0) << ": "
                        << (error ? error->message : std::string());
    if (error || builder.root.children.size() != 1) {
        return std::make_unique<Element>();
    }
    return std::move(builder.root.children.front());
}

// Every "$(kind.id)" reference in the attributes below `element`.
void CollectReferences(const Element& element, const std::string& kind, std::set<std::string>& ids) {
    const std::regex reference("\\$\\(" + kind + "\\.([^)]+)\\)");
    for (const auto& [key, value] : element.attributes) {
        for (std::sregex_iterator it(value.begin(), value.end(), reference), end; it != end; ++it) {
            ids.insert((*it)[1]);
        }
    }
    for (const auto& child : element.children) {
        CollectReferences(*child, kind, ids);
    }
}

struct Resources {
    std::set<std::string> strings;
    std::map<std::string, const Element*> presentations;
    std::unique_ptr<Element> document;
};

Resources LoadResources(const std::string& language) {
    Resources resources;
    resources.document = Load("policy/" + language + "/plumwick.adml");
    const Element* inner = resources.document->Child("resources");
    const Element* table = inner ? inner->Child("stringTable") : nullptr;
    EXPECT_TRUE(table) << language << " has no string table";
    if (table) {
        for (const Element* string : table->Children("string")) {
            EXPECT_TRUE(resources.strings.insert(string->Attribute("id")).second)
                << language << ": string " << string->Attribute("id") << " twice";
            EXPECT_FALSE(string->text.empty())
                << language << ": string " << string->Attribute("id") << " is empty";
        }
    }
    const Element* presentations = inner ? inner->Child("presentationTable") : nullptr;
    if (presentations) {
        for (const Element* presentation : presentations->Children("presentation")) {
            resources.presentations[presentation->Attribute("id")] = presentation;
        }
    }
    return resources;
}

std::vector<const Element*> Policies(const Element& admx) {
    const Element* policies = admx.Child("policies");
    return policies ? policies->Children("policy") : std::vector<const Element*>{};
}

std::string Utf8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

} // namespace

TEST(PolicyTemplates, EveryReferenceResolvesInEveryLanguage) {
    std::unique_ptr<Element> admx = Load("policy/plumwick.admx");
    ASSERT_EQ(admx->name, "policyDefinitions");
    std::set<std::string> strings, presentations;
    CollectReferences(*admx, "string", strings);
    CollectReferences(*admx, "presentation", presentations);
    ASSERT_FALSE(strings.empty());

    std::set<std::string> firstLanguageStrings;
    for (const std::string& language : kLanguages) {
        Resources resources = LoadResources(language);
        ASSERT_EQ(resources.document->name, "policyDefinitionResources") << language;
        for (const std::string& id : strings) {
            EXPECT_TRUE(resources.strings.count(id)) << language << " lacks string " << id;
        }
        for (const std::string& id : presentations) {
            EXPECT_TRUE(resources.presentations.count(id)) << language << " lacks presentation " << id;
        }
        // Each control of a policy's presentation shows one of that policy's elements, and each element
        // has a control: otherwise the editor shows a box that writes nothing, or a value nobody can set.
        for (const Element* policy : Policies(*admx)) {
            std::set<std::string> elementIds;
            if (const Element* elements = policy->Child("elements")) {
                for (const auto& element : elements->children) {
                    elementIds.insert(element->Attribute("id"));
                }
            }
            std::set<std::string> shown;
            std::set<std::string> named;
            CollectReferences(*policy, "presentation", named);
            for (const std::string& id : named) {
                auto it = resources.presentations.find(id);
                if (it == resources.presentations.end()) {
                    continue;
                }
                for (const auto& control : it->second->children) {
                    std::string refId = control->Attribute("refId");
                    if (!refId.empty()) {
                        EXPECT_TRUE(elementIds.count(refId)) << language << ": " << id << " shows " << refId
                                                             << ", not an element of its policy";
                        shown.insert(refId);
                    }
                }
            }
            EXPECT_EQ(shown, elementIds) << language << ": policy " << policy->Attribute("name");
        }
        // The languages carry the same strings, so a policy never falls back to a bare id in one of them.
        if (firstLanguageStrings.empty()) {
            firstLanguageStrings = resources.strings;
        } else {
            EXPECT_EQ(resources.strings, firstLanguageStrings) << language;
        }
    }
}

TEST(PolicyTemplates, PoliciesWriteExactlyTheValuesTheProgramReads) {
    std::unique_ptr<Element> admx = Load("policy/plumwick.admx");
    std::set<std::string> supported;
    if (const Element* supportedOn = admx->Child("supportedOn")) {
        if (const Element* definitions = supportedOn->Child("definitions")) {
            for (const Element* definition : definitions->Children("definition")) {
                supported.insert(definition->Attribute("name"));
            }
        }
    }
    std::set<std::string> categories;
    if (const Element* list = admx->Child("categories")) {
        for (const Element* category : list->Children("category")) {
            categories.insert(category->Attribute("name"));
        }
    }

    std::map<std::string, int> written; // value name -> policies writing it
    std::set<std::string> policyNames;
    for (const Element* policy : Policies(*admx)) {
        const std::string name = policy->Attribute("name");
        EXPECT_TRUE(policyNames.insert(name).second) << "policy " << name << " twice";
        EXPECT_EQ(policy->Attribute("class"), "Machine") << name;
        EXPECT_EQ(policy->Attribute("key"), Utf8(kPolicyKey)) << name;
        const Element* category = policy->Child("parentCategory");
        EXPECT_TRUE(category && categories.count(category->Attribute("ref"))) << name;
        const Element* supportedOn = policy->Child("supportedOn");
        EXPECT_TRUE(supportedOn && supported.count(supportedOn->Attribute("ref"))) << name;

        // A value named on the policy itself is an on/off switch.
        if (!policy->Attribute("valueName").empty()) {
            const std::string valueName = policy->Attribute("valueName");
            ++written[valueName];
            const ManagedValue* value = FindManagedValue(Utf8ToUtf16(valueName));
            ASSERT_TRUE(value) << name << " writes " << valueName << ", which the program does not read";
            EXPECT_EQ(value->kind, ManagedKind::Flag) << valueName;
            const Element* on = policy->Child("enabledValue");
            const Element* off = policy->Child("disabledValue");
            ASSERT_TRUE(on && off && on->Child("decimal") && off->Child("decimal")) << name;
            EXPECT_EQ(on->Child("decimal")->Attribute("value"), "1") << name;
            EXPECT_EQ(off->Child("decimal")->Attribute("value"), "0") << name;
        }
        const Element* elements = policy->Child("elements");
        if (!elements) {
            continue;
        }
        for (const auto& element : elements->children) {
            const std::string valueName = element->Attribute("valueName");
            ++written[valueName];
            std::string key = element->Attribute("key");
            EXPECT_TRUE(key.empty() || key == Utf8(kPolicyKey)) << name << " writes below " << key;
            const ManagedValue* value = FindManagedValue(Utf8ToUtf16(valueName));
            ASSERT_TRUE(value) << name << " writes " << valueName << ", which the program does not read";
            if (element->name == "text") {
                EXPECT_EQ(value->kind, ManagedKind::Text) << valueName;
            } else if (element->name == "decimal") {
                EXPECT_EQ(value->kind, ManagedKind::Number) << valueName;
                EXPECT_EQ(element->Attribute("minValue"), std::to_string(value->minValue)) << valueName;
                EXPECT_EQ(element->Attribute("maxValue"), std::to_string(value->maxValue)) << valueName;
            } else if (element->name == "enum") {
                EXPECT_EQ(value->kind, ManagedKind::Choice) << valueName;
                std::vector<std::string> offered, allowed;
                for (const Element* item : element->Children("item")) {
                    const Element* held = item->Child("value");
                    const Element* number = held ? held->Child("decimal") : nullptr;
                    offered.push_back(number ? number->Attribute("value") : "?");
                }
                for (unsigned choice : value->choices) {
                    allowed.push_back(std::to_string(choice));
                }
                EXPECT_EQ(offered, allowed) << valueName;
            } else {
                ADD_FAILURE() << name << ": element " << element->name << " is not one the table describes";
            }
        }
    }
    for (const ManagedValue& value : ManagedValues()) {
        EXPECT_EQ(written[Utf8(value.name)], 1) << Utf8(value.name) << " needs exactly one policy";
    }
    EXPECT_EQ(written.size(), ManagedValues().size());
}

TEST(ManagedValues, DefaultsLieInTheirOwnRanges) {
    for (const ManagedValue& value : ManagedValues()) {
        EXPECT_EQ(FindManagedValue(value.name), &value) << Utf8(value.name) << " is named twice";
        if (value.defaultValue.empty() || value.kind == ManagedKind::Text) {
            continue;
        }
        unsigned number = static_cast<unsigned>(std::stoul(Utf8(value.defaultValue)));
        switch (value.kind) {
        case ManagedKind::Number:
        case ManagedKind::Flag:
            EXPECT_TRUE(number >= value.minValue && number <= value.maxValue) << Utf8(value.name);
            break;
        case ManagedKind::Choice:
            EXPECT_NE(std::find(value.choices.begin(), value.choices.end(), number), value.choices.end())
                << Utf8(value.name);
            break;
        case ManagedKind::Text:
            break;
        }
    }
}
