#include "live/live_snapshot.h"

#include "live/live_json.h"

namespace cronovolta::live {
namespace {

void writeHead(JsonWriter& w, const std::map<std::string, std::string>& head) {
    w.beginObject();
    for (const auto& [name, text] : head) {
        w.key(name).value(text);
    }
    w.endObject();
}

void writeRows(JsonWriter& w, const std::vector<std::vector<std::string>>& rows) {
    w.beginArray();
    for (const auto& row : rows) {
        w.strings(row);
    }
    w.endArray();
}

void writeTable(JsonWriter& w, const LiveTable& table) {
    w.beginObject();
    w.key("columns").strings(table.columns);
    w.key("align").value(table.align);
    w.key("rows");
    writeRows(w, table.rows);
    w.endObject();
}

} // namespace

std::string snapshotJson(const LiveSnapshot& snapshot, long long version) {
    JsonWriter w;
    w.beginObject();
    w.key("type").value("snapshot");
    w.key("v").value(version);
    w.key("head");
    writeHead(w, snapshot.head);
    w.key("standings");
    writeTable(w, snapshot.standings);
    w.key("classification");
    writeTable(w, snapshot.classification);
    w.endObject();
    return w.take();
}

std::string changeJson(const LiveSnapshot& before, const LiveSnapshot& after, long long base,
                       long long version) {
    if (before == after) {
        return {};
    }
    JsonWriter w;
    w.beginObject();
    w.key("type").value("change");
    w.key("base").value(base);
    w.key("v").value(version);
    if (before.head != after.head) {
        // A field that is gone is sent empty: the page shows nothing for it either way.
        std::map<std::string, std::string> changed;
        for (const auto& [name, text] : after.head) {
            auto old = before.head.find(name);
            if (old == before.head.end() || old->second != text) {
                changed[name] = text;
            }
        }
        for (const auto& [name, text] : before.head) {
            if (!after.head.contains(name)) {
                changed[name];
            }
        }
        w.key("head");
        writeHead(w, changed);
    }
    const LiveTable& a = before.standings;
    const LiveTable& b = after.standings;
    if (a != b) {
        w.key("standings").beginObject();
        if (a.columns != b.columns || a.align != b.align) {
            w.key("columns").strings(b.columns);
            w.key("align").value(b.align);
        }
        w.key("count").value(static_cast<long long>(b.rows.size()));
        w.key("rows").beginArray();
        for (std::size_t i = 0; i < b.rows.size(); ++i) {
            if (i >= a.rows.size() || a.rows[i] != b.rows[i]) {
                w.beginArray().value(static_cast<long long>(i)).strings(b.rows[i]).endArray();
            }
        }
        w.endArray().endObject();
    }
    if (before.classification != after.classification) {
        w.key("classification");
        writeTable(w, after.classification);
    }
    w.endObject();
    return w.take();
}

} // namespace cronovolta::live
