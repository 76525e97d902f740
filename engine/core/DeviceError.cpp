#include "engine/core/DeviceError.h"

namespace {

constexpr WStringView kEnglish[kDeviceResultCount] = {
    u"No error.",
    u"Failed to query Direct3D9 interface - please install DirectX 9.0c version.",
    u"Invalid DirectX version - please install DirectX 9.0c version.",
    u"Failed to get device caps - please check display adapter driver",
    u"No hardware accelerated device - please check display adapter driver.",
    u"No available display mode - please check display adapter driver.",
    u"The selected display mode is not supported.",
    u"The display adapter lacks a required capability - please check display adapter driver.",
    u"Failed to create Direct3D device.",
    u"Failed to reset Direct3D device.",
    u"Not enough video memory.",
    u"Failed to create vertex or index buffer.",
    u"Failed to create texture.",
    u"Direct3D device lost.",
};

constexpr WStringView kKorean[kDeviceResultCount] = {
    u"오류가 없습니다.",
    u"Direct3D9 인터페이스를 얻지 못했습니다 - DirectX 9.0c 버전을 설치해 주세요.",
    u"DirectX 버전이 맞지 않습니다 - DirectX 9.0c 버전을 설치해 주세요.",
    u"그래픽 장치 정보를 얻지 못했습니다 - 그래픽 카드 드라이버를 확인해 주세요.",
    u"하드웨어 가속 장치가 없습니다 - 그래픽 카드 드라이버를 확인해 주세요.",
    u"사용할 수 있는 화면 모드가 없습니다 - 그래픽 카드 드라이버를 확인해 주세요.",
    u"선택한 화면 모드를 지원하지 않습니다.",
    u"그래픽 카드가 필요한 기능을 지원하지 않습니다 - 그래픽 카드 드라이버를 확인해 주세요.",
    u"Direct3D 장치를 만들지 못했습니다.",
    u"Direct3D 장치를 재설정하지 못했습니다.",
    u"비디오 메모리가 부족합니다.",
    u"버텍스 버퍼 또는 인덱스 버퍼를 만들지 못했습니다.",
    u"텍스처를 만들지 못했습니다.",
    u"Direct3D 장치를 잃었습니다.",
};

constexpr WStringView kUndefinedEnglish = u"Undefined error.";
constexpr WStringView kUndefinedKorean = u"정의되지 않은 오류입니다.";

}  // namespace

WStringView GetDeviceErrorMessage(int code, int language) {
    const bool korean = language == static_cast<int>(TextLanguage::Korean);
    if (code < 0 || code >= kDeviceResultCount) return korean ? kUndefinedKorean : kUndefinedEnglish;
    return korean ? kKorean[code] : kEnglish[code];
}
