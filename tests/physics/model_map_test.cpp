// The model map of docs/physics.md against the models the factory builds: a row per id, a form
// name per operation.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "physics/PhysicsFactory.h"

namespace physics {
namespace {

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    std::getline(in, cell, '|');  // before the first bar
    while (std::getline(in, cell, '|')) {
        const auto first = cell.find_first_not_of(' ');
        const auto last = cell.find_last_not_of(' ');
        if (first != std::string::npos) cells.push_back(cell.substr(first, last - first + 1));
    }
    return cells;
}

// The map's rows by model id, each the form names of its seven operations.
std::map<std::uint32_t, std::vector<std::string>> ReadMap() {
    std::ifstream doc(std::string(MARVENLOT_SOURCE_DIR) + "/docs/physics.md");
    std::map<std::uint32_t, std::vector<std::string>> rows;
    std::string line;
    while (std::getline(doc, line)) {
        if (line.rfind("| 0x", 0) != 0) continue;
        std::vector<std::string> cells = Cells(line);
        const std::uint32_t id = static_cast<std::uint32_t>(std::stoul(cells.at(0), nullptr, 16));
        cells.erase(cells.begin());
        rows[id] = cells;
    }
    return rows;
}

template <class Form>
std::string Name(Form form, std::initializer_list<std::pair<Form, const char*>> names) {
    for (const auto& [f, name] : names)
        if (f == form) return name;
    return "?";
}

std::vector<std::string> FormNames(const ModelForms& f) {
    return {
        Name(f.strike, {{StrikeForm::From10000, "From10000"},
                        {StrikeForm::From10001, "From10001"},
                        {StrikeForm::From10005, "From10005"},
                        {StrikeForm::From10008, "From10008"},
                        {StrikeForm::From10010, "From10010"}}),
        Name(f.friction, {{FrictionForm::From10000, "From10000"},
                          {FrictionForm::From10005, "From10005"},
                          {FrictionForm::From1000A, "From1000A"},
                          {FrictionForm::From10010, "From10010"}}),
        Name(f.rails, {{RailForm::From10000, "From10000"},
                       {RailForm::From10001, "From10001"},
                       {RailForm::From10005, "From10005"},
                       {RailForm::From1000D, "From1000D"},
                       {RailForm::From10010, "From10010"}}),
        Name(f.railZone, {{RailZoneForm::From10000, "From10000"},
                          {RailZoneForm::From10005, "From10005"},
                          {RailZoneForm::From1000D, "From1000D"},
                          {RailZoneForm::From10010, "From10010"}}),
        Name(f.impulse, {{ImpulseForm::None, "None"},
                         {ImpulseForm::From10005, "From10005"},
                         {ImpulseForm::From1000A, "From1000A"},
                         {ImpulseForm::From1000C, "From1000C"},
                         {ImpulseForm::From10010, "From10010"}}),
        Name(f.cushionImpact, {{CushionImpactForm::None, "None"},
                               {CushionImpactForm::From10000, "From10000"},
                               {CushionImpactForm::From10001, "From10001"}}),
        Name(f.collisions, {{CollisionForm::From10000, "From10000"},
                            {CollisionForm::From10005, "From10005"},
                            {CollisionForm::From1000C, "From1000C"},
                            {CollisionForm::From10010, "From10010"}}),
    };
}

TEST(ModelMap, EveryFactoryModelRunsTheFormsOfTheMap) {
    const auto map = ReadMap();
    ASSERT_EQ(map.size(), kLastModelId - kFirstModelId + 1) << "one row per model id in docs/physics.md";
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id) {
        auto model = CreatePhysicsModel(id, 0, 3, false);
        ASSERT_NE(model, nullptr);
        ASSERT_TRUE(map.count(id)) << std::hex << "no row for 0x" << id;
        EXPECT_EQ(map.at(id), FormNames(model->Forms())) << std::hex << "model 0x" << id;
    }
}

// A form is named after the first id that uses it: no id below that one may run it.
TEST(ModelMap, NoModelRunsAFormNamedAfterALaterId) {
    for (const auto& [id, forms] : ReadMap())
        for (const std::string& form : forms) {
            if (form == "None") continue;
            EXPECT_LE(std::stoul(form.substr(4), nullptr, 16), id)
                << std::hex << "model 0x" << id << " " << form;
        }
}

}  // namespace
}  // namespace physics
