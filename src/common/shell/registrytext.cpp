#include "common/shell/registrytext.h"

#include "common/base/text.h"

namespace tw {

std::optional<RegistryText> readRegistryText(const RegKey& key, std::string_view name)
{
    const std::optional<RegValue> value = key.readValue(name);
    if (!value || (value->type != RegType::Sz && value->type != RegType::ExpandSz))
        return std::nullopt;
    std::u16string units;
    for (size_t i = 0; i + 1 < value->data.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
        if (unit == 0)
            break;
        units += unit;
    }
    return RegistryText{toUtf8(units), value->type == RegType::ExpandSz};
}

std::optional<RegistryText> readRegistryText(Registry& registry, RegRoot root, std::string_view path,
                                             std::string_view name)
{
    const std::optional<RegKey> key = registry.openKey(root, path);
    return key ? readRegistryText(*key, name) : std::nullopt;
}

} // namespace tw
