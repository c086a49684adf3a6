#include "tools/packager/manifest.h"

#include <toml++/toml.h>

#include <set>

#include "tools/packager/bytes.h"

namespace setup::packager {

const ManifestText kManifestTexts[12] = {
    {TextField::Author, "author"},           {TextField::Company, "company"},
    {TextField::Site, "site"},               {TextField::RightsNotice, "rights_notice"},
    {TextField::Version, "version"},         {TextField::ReleaseDate, "release_date"},
    {TextField::ProductName, "product_name"}, {TextField::FolderName, "folder_name"},
    {TextField::Category, "category"},       {TextField::Intro, "intro"},
    {TextField::Date, "date"},               {TextField::ReservedDate, "reserved_date"},
};

std::string Manifest::Where(int line) const {
    return path.string() + (line > 0 ? ":" + std::to_string(line) : "");
}

namespace {

int LineOf(const toml::node& n) { return static_cast<int>(n.source().begin.line); }

class Reader {
public:
    Reader(Manifest& m, const Defines& defines) : m_(m), defines_(defines) {}

    void Read(const toml::table& root) {
        Known(root, "the manifest", {"licence", "uninstaller", "product", "file", "shortcut", "registry", "brand"});
        if (const toml::node* n = root.get("licence"))
            m_.licence = Path(*n, "licence");
        else
            throw PackError(m_.Where(0) + ": no licence: set licence = \"file\" (the licence agreement text, UTF-8)");

        if (const toml::node* n = root.get("uninstaller")) {
            const std::string kind = String(*n, "uninstaller");
            if (kind != "builtin")
                throw PackError(At(*n) + "uninstaller: \"" + kind + "\" is not \"builtin\" (leave the key out to ship "
                                "your own \\uninstall.exe)");
            m_.builtin_uninstaller = true;
            m_.uninstaller_line = LineOf(*n);
        }

        const toml::node* product = root.get("product");
        if (!product || !product->is_table())
            throw PackError(m_.Where(product ? LineOf(*product) : 0) + ": no [product] table with the product's texts");
        std::set<std::string> keys;
        for (const ManifestText& t : kManifestTexts) keys.insert(t.key);
        Known(*product->as_table(), "[product]", keys);
        for (const ManifestText& t : kManifestTexts)
            if (const toml::node* n = product->as_table()->get(t.key)) {
                m_.texts[t.field] = String(*n, std::string("product.") + t.key);
                m_.text_lines[t.field] = LineOf(*n);
            }

        if (const toml::node* brand = root.get("brand")) ReadBrand(*brand);

        for (const toml::table& row : Rows(root, "file")) {
            const std::string what = "[[file]] " + std::to_string(m_.files.size());
            Known(row, what, {"source", "name", "text"});
            ManifestFile f;
            f.line = LineOf(row);
            f.source = Path(Need(row, "source", what), what + " source");
            f.name = String(Need(row, "name", what), what + " name");
            if (const toml::node* n = row.get("text")) f.text = Bool(*n, what + " text");
            m_.files.push_back(std::move(f));
        }
        for (const toml::table& row : Rows(root, "shortcut")) {
            const std::string what = "[[shortcut]] " + std::to_string(m_.shortcuts.size());
            Known(row, what, {"link", "file", "place", "arguments"});
            ManifestShortcut s;
            s.line = LineOf(row);
            s.link = String(Need(row, "link", what), what + " link");
            const toml::node& file = Need(row, "file", what);
            if (file.is_integer())
                s.file = file.as_integer()->get();
            else
                s.file = String(file, what + " file");
            const std::string place = String(Need(row, "place", what), what + " place");
            if (place == "desktop") s.place = 0;
            else if (place == "group") s.place = 1;
            else if (place == "both") s.place = 2;
            else throw PackError(At(row) + what + " place: \"" + place + "\" is not \"desktop\", \"group\" or \"both\"");
            if (const toml::node* n = row.get("arguments")) s.arguments = String(*n, what + " arguments");
            m_.shortcuts.push_back(std::move(s));
        }
        for (const toml::table& row : Rows(root, "registry")) {
            const std::string what = "[[registry]] " + std::to_string(m_.registry.size());
            Known(row, what, {"root", "key", "name", "value"});
            ManifestRegValue r;
            r.line = LineOf(row);
            const std::string root_name = String(Need(row, "root", what), what + " root");
            if (root_name == "HKLM" || root_name == "HKEY_LOCAL_MACHINE") r.root = 0;
            else if (root_name == "HKCU" || root_name == "HKEY_CURRENT_USER") r.root = 1;
            else throw PackError(At(row) + what + " root: \"" + root_name + "\" is not \"HKLM\" or \"HKCU\"");
            r.key = String(Need(row, "key", what), what + " key");
            r.name = String(Need(row, "name", what), what + " name");
            const toml::node& value = Need(row, "value", what);
            if (value.is_boolean()) {
                r.kind = 0;
                r.bool_value = value.as_boolean()->get();
            } else if (value.is_string()) {
                r.kind = 1;
                r.string_value = value.as_string()->get();
            } else if (value.is_integer()) {
                const int64_t v = value.as_integer()->get();
                if (v < INT32_MIN || v > INT32_MAX)
                    throw PackError(At(value) + what + " value: " + std::to_string(v) +
                                    " does not fit a signed 32-bit integer");
                r.kind = 2;
                r.int_value = static_cast<int32_t>(v);
            } else {
                throw PackError(At(value) + what + " value: expected a string, an integer or a boolean");
            }
            m_.registry.push_back(std::move(r));
        }
    }

private:
    void ReadBrand(const toml::node& node) {
        if (!node.is_table()) throw PackError(At(node) + "brand: expected a [brand] table");
        const toml::table& t = *node.as_table();
        ManifestBrand& b = m_.brand;
        b.present = true;
        b.line = LineOf(node);
        Known(t, "[brand]", {"name", "box_title", "site", "licence_url", "end_programs", "logo", "welcome_logo",
                             "banners", "ready_picture", "picture", "finish_icon", "icon"});
        for (auto&& [key, value] : t) {
            const std::string k(key.str());
            const std::string what = "brand." + k;
            b.lines[k] = LineOf(value);
            if (k == "end_programs" || k == "banners") {
                if (!value.is_array()) throw PackError(At(value) + what + ": expected an array of strings");
                std::vector<std::string> items;
                for (const toml::node& item : *value.as_array()) items.push_back(String(item, what));
                if (k == "end_programs") {
                    b.end_programs = std::move(items);
                    continue;
                }
                if (items.size() != 4)
                    throw PackError(At(value) + what + ": " + std::to_string(items.size()) +
                                    " pictures; give the four strips of pages 1 to 4");
                for (const toml::node& item : *value.as_array()) b.banners.push_back(Path(item, what));
            } else if (k == "name" || k == "box_title" || k == "site" || k == "licence_url") {
                b.texts[k] = String(value, what);
            } else {
                b.pictures[k] = Path(value, what);
            }
        }
    }

    std::string At(const toml::node& n) const { return m_.Where(LineOf(n)) + ": "; }

    void Known(const toml::table& t, const std::string& what, const std::set<std::string>& keys) const {
        for (auto&& [key, node] : t)
            if (!keys.contains(std::string(key.str())))
                throw PackError(At(node) + what + ": unknown key \"" + std::string(key.str()) + "\"");
    }

    const toml::node& Need(const toml::table& t, const char* key, const std::string& what) const {
        const toml::node* n = t.get(key);
        if (!n) throw PackError(At(t) + what + ": missing key \"" + key + "\"");
        return *n;
    }

    std::string String(const toml::node& n, const std::string& what) const {
        if (!n.is_string()) throw PackError(At(n) + what + ": expected a string");
        return n.as_string()->get();
    }

    bool Bool(const toml::node& n, const std::string& what) const {
        if (!n.is_boolean()) throw PackError(At(n) + what + ": expected true or false");
        return n.as_boolean()->get();
    }

    // ${NAME} replaced from the defines, then taken relative to the manifest's folder.
    std::filesystem::path Path(const toml::node& n, const std::string& what) const {
        const std::string raw = String(n, what);
        std::string out;
        for (size_t i = 0; i < raw.size();) {
            if (raw.compare(i, 2, "${") != 0) {
                out += raw[i++];
                continue;
            }
            const size_t end = raw.find('}', i);
            if (end == std::string::npos) throw PackError(At(n) + what + ": \"${\" without its \"}\"");
            const std::string name = raw.substr(i + 2, end - i - 2);
            const auto it = defines_.find(name);
            if (it == defines_.end())
                throw PackError(At(n) + what + ": ${" + name + "} is not defined (pass --define " + name + "=DIR)");
            out += it->second;
            i = end + 1;
        }
        if (out.empty()) throw PackError(At(n) + what + ": empty path");
        const std::filesystem::path p(out);
        return p.is_absolute() ? p : m_.path.parent_path() / p;
    }

    std::vector<std::reference_wrapper<const toml::table>> Rows(const toml::table& root, const char* key) const {
        std::vector<std::reference_wrapper<const toml::table>> rows;
        const toml::node* n = root.get(key);
        if (!n) return rows;
        const std::string what = std::string("[[") + key + "]]";
        if (!n->is_array_of_tables()) throw PackError(At(*n) + key + ": expected " + what + " tables");
        for (const toml::node& row : *n->as_array()) rows.push_back(std::cref(*row.as_table()));
        return rows;
    }

    Manifest& m_;
    const Defines& defines_;
};

}  // namespace

Manifest ReadManifest(const std::filesystem::path& path, const Defines& defines) {
    Manifest m;
    m.path = path;
    toml::table root;
    try {
        root = toml::parse_file(path.string());
    } catch (const toml::parse_error& e) {
        const int line = static_cast<int>(e.source().begin.line);
        if (line == 0) throw PackError(path.string() + ": cannot read the manifest: " + std::string(e.description()));
        throw PackError(m.Where(line) + ": " + std::string(e.description()));
    }
    Reader(m, defines).Read(root);
    return m;
}

}  // namespace setup::packager
