#include "tools/shotsim/ShotDescription.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "physics/PhysicsConstants.h"

namespace shotsim {

namespace {

using nlohmann::json;

struct Invalid {
    std::string message;
};

physics::F32 Number(const json& j, const char* key) {
    if (!j.contains(key)) throw Invalid{std::string("missing \"") + key + "\""};
    const json& v = j.at(key);
    if (!v.is_number()) throw Invalid{std::string("\"") + key + "\" is not a number"};
    const double d = v.get<double>();
    if (!std::isfinite(d) || std::fabs(d) > 3.0e38)
        throw Invalid{std::string("\"") + key + "\" is out of range"};
    return physics::F32(static_cast<float>(d));
}

std::uint32_t Unsigned(const json& v, const char* what, std::uint64_t max) {
    if (!v.is_number_integer() && !v.is_number_unsigned())
        throw Invalid{std::string(what) + " is not an integer"};
    const std::int64_t n = v.get<std::int64_t>();
    if (n < 0 || static_cast<std::uint64_t>(n) > max) throw Invalid{std::string(what) + " is out of range"};
    return static_cast<std::uint32_t>(n);
}

std::uint32_t ModelId(const json& v) {
    std::uint64_t id = 0;
    if (v.is_string()) {
        const std::string s = v.get<std::string>();
        if (s.size() < 3 || s.size() > 10 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X'))
            throw Invalid{"\"model\" text must be \"0x...\""};
        for (std::size_t i = 2; i < s.size(); ++i) {
            const char c = s[i];
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                throw Invalid{"\"model\" is not hexadecimal"};
            id = id * 16 + static_cast<std::uint64_t>(digit);
        }
    } else {
        id = Unsigned(v, "\"model\"", 0xFFFFFFFFu);
    }
    if (id < physics::kFirstModelId || id > physics::kLastModelId)
        throw Invalid{"\"model\" is not 0x10000 to 0x10014"};
    return static_cast<std::uint32_t>(id);
}

std::uint32_t TableType(const json& v) {
    return Unsigned(v, "\"table\"", physics::kTableTypeCount - 1);
}

std::pair<physics::F32, physics::F32> Pair(const json& j, const char* key) {
    if (!j.contains(key) || !j.at(key).is_array() || j.at(key).size() != 2)
        throw Invalid{std::string("\"") + key + "\" must be a list of two numbers"};
    json wrap = {{"a", j.at(key)[0]}, {"b", j.at(key)[1]}};
    return {Number(wrap, "a"), Number(wrap, "b")};
}

ShotDescription Parse(const json& j) {
    if (!j.is_object()) throw Invalid{"the description is not a JSON object"};
    ShotDescription d;
    if (!j.contains("model")) throw Invalid{"missing \"model\""};
    d.model = ModelId(j.at("model"));
    if (!j.contains("table")) throw Invalid{"missing \"table\""};
    d.table = TableType(j.at("table"));
    if (j.contains("subSteps")) d.subSteps = Unsigned(j.at("subSteps"), "\"subSteps\"", 1000);
    if (d.subSteps && *d.subSteps == 0) throw Invalid{"\"subSteps\" must be at least 1"};
    if (j.contains("maxCalls")) d.maxCalls = Unsigned(j.at("maxCalls"), "\"maxCalls\"", 10000000);
    if (j.contains("setup")) {
        if (!j.at("setup").is_array()) throw Invalid{"\"setup\" is not a list"};
        for (const json& s : j.at("setup")) {
            if (!s.is_object() || !s.contains("model") || !s.contains("table"))
                throw Invalid{"a \"setup\" entry needs \"model\" and \"table\""};
            d.setup.push_back({ModelId(s.at("model")), TableType(s.at("table"))});
        }
    }
    if (!j.contains("balls") || !j.at("balls").is_array() || j.at("balls").empty())
        throw Invalid{"\"balls\" must be a non-empty list"};
    if (j.at("balls").size() > physics::kMaxBallCount) throw Invalid{"too many balls (at most 64)"};
    for (const json& b : j.at("balls")) {
        if (!b.is_object()) throw Invalid{"a ball is not an object"};
        BallSpec s;
        s.x = Number(b, "x");
        s.y = Number(b, "y");
        if (b.contains("z")) s.z = Number(b, "z");
        s.radiusCm = Number(b, "radiusCm");
        s.mass = Number(b, "mass");
        if (!(s.radiusCm.v > 0.0f) || !(s.mass.v > 0.0f))
            throw Invalid{"\"radiusCm\" and \"mass\" must be above 0"};
        if (b.contains("seed")) s.seed = Unsigned(b.at("seed"), "\"seed\"", 0xFFFFFFFFu);
        if (b.contains("orientation")) {
            const json& o = b.at("orientation");
            if (!o.is_array() || o.size() != 4) throw Invalid{"\"orientation\" must be [x, y, z, w]"};
            json wrap = {{"x", o[0]}, {"y", o[1]}, {"z", o[2]}, {"w", o[3]}};
            s.orientation = physics::Quaternion(Number(wrap, "x"), Number(wrap, "y"), Number(wrap, "z"),
                                                Number(wrap, "w"));
        }
        d.balls.push_back(s);
    }
    if (!j.contains("strike") || !j.at("strike").is_object()) throw Invalid{"missing \"strike\""};
    const json& s = j.at("strike");
    d.strikeBall = static_cast<std::uint16_t>(
        Unsigned(s.contains("ball") ? s.at("ball") : json(0), "\"ball\"", d.balls.size() - 1));
    d.aimX = Number(s, "aimX");
    d.aimY = Number(s, "aimY");
    auto [limitSide, limitVertical] = Pair(s, "offsetLimit");
    auto [tipSide, tipVertical] = Pair(s, "tipOffset");
    d.shot.offsetLimitSide = limitSide;
    d.shot.offsetLimitVertical = limitVertical;
    d.shot.tipOffsetSide = tipSide;
    d.shot.tipOffsetVertical = tipVertical;
    d.shot.elevation = Number(s, "elevation");
    d.shot.power = Number(s, "power");
    d.shot.contactFactor = Number(s, "contactFactor");
    d.shot.limitFactor = Number(s, "limitFactor");
    d.shot.stiffnessFactor = Number(s, "stiffnessFactor");
    return d;
}

}  // namespace

std::optional<ShotDescription> ParseShotDescription(const std::string& text, std::string& error) {
    try {
        const json j = json::parse(text);
        return Parse(j);
    } catch (const Invalid& e) {
        error = e.message;
    } catch (const json::exception& e) {
        error = std::string("bad JSON: ") + e.what();
    }
    return std::nullopt;
}

}  // namespace shotsim
