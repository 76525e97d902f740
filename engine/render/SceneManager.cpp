#include "engine/render/SceneManager.h"

#include "engine/core/Format.h"
#include "engine/render/SceneBuilder.h"
#include "platform/sys/Clock.h"

SceneManager::~SceneManager() {
    DestroyScenes();
}

Scene* SceneManager::CreateScene(const std::string& name) {
    scenes_.push_back(std::make_unique<Scene>(device_, name));
    return scenes_.back().get();
}

Scene* SceneManager::AddSceneFromInfo(const SceneInfoData& info, const ResourceGroup& group,
                                      const std::string& name) {
    SceneBuilder builder(device_, group);
    std::string sceneName =
        name.empty() ? ToUtf8(group.GetName()) + "#" + std::to_string(scenes_.size()) : name;
    scenes_.push_back(builder.BuildScene(sceneName, info, aspect_));
    return scenes_.back().get();
}

bool SceneManager::SetCurrentScene(std::size_t index) {
    Scene* next = GetScene(index);
    if (!next) return false;
    if (current_ == next) return true;
    if (current_) current_->Tree().ReleaseDeviceResources();
    current_ = next;
    current_->Tree().RestoreDeviceResources();
    current_->cameraDirty = 1;
    return true;
}

void SceneManager::DestroyScenes() {
    if (current_) current_->Tree().ReleaseDeviceResources();
    current_ = nullptr;
    scenes_.clear();
}

void SceneManager::UpdateCurrentScene() {
    if (current_) current_->Update(platform::GetClock().NowMs());
}

bool SceneManager::RenderCurrentScene() {
    if (!current_) return true;
    statistics_ = {};
    bool ok = current_->Tree().Render(statistics_);
    if (overlay_) {
        if (Font* font = device_.CreateFont(u"Tahoma", 12, 400, 0)) {
            device_.Begin2D();
            Rect line{4, 4, 400, 18};
            for (const WString& text : StatisticsLines(statistics_)) {
                device_.DrawText(font, text, line, text_format::kLeft, 0xFFFFFFFF);
                line.top += 14;
                line.bottom += 14;
            }
        }
    }
    return ok;
}

void SceneManager::SetAspect(float heightOverWidth) {
    aspect_ = heightOverWidth;
    for (auto& scene : scenes_)
        for (auto& [id, camera] : scene->Cameras()) {
            camera->SetAspect(heightOverWidth);
            scene->cameraDirty = 1;
        }
}

std::vector<WString> SceneManager::StatisticsLines(const RenderStatistics& statistics) {
    std::vector<WString> lines;
    for (int i = 0; i < static_cast<int>(RenderCounter::Count); ++i)
        lines.push_back(Format(u"%s%d", kStatisticsLabels[i], statistics.counters[i]));
    return lines;
}
