#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cronovolta::live {

// A JSON string literal of `text`. Invalid UTF-8 becomes U+FFFD, and "<", ">", "&" and the
// quote marks are written as escapes, so the text stays inert wherever a page puts it.
std::string jsonString(std::string_view text);

// Builds one JSON text without a tree: values are appended in order and the commas are
// placed by the writer.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // An array of strings.
    JsonWriter& strings(const std::vector<std::string>& texts);

    const std::string& text() const { return m_out; }
    std::string take() { return std::move(m_out); }

private:
    void separate();

    std::string m_out;
    bool m_needComma = false;
};

} // namespace cronovolta::live
