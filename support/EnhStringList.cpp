#include "support/EnhStringList.h"

#include "support/FileOutput.h"
#include "support/LibStandard.h"

#include <algorithm>
#include <utility>

namespace brennic {

namespace {

constexpr const char* DuplicateMessage = "String list does not allow duplicates";
constexpr const char* SortedMessage = "Operation not allowed on sorted list";

[[noreturn]] void IndexError(int index)
{
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")", index);
}

inline std::uint32_t HashStep(std::uint32_t h, char16_t c)
{
    h = (h << 5) + FoldAscii(c);
    return h ^ ((h & 0xF8000000u) >> 24);
}

}  // namespace

std::uint32_t TextHash(std::u16string_view text)
{
    std::uint32_t h = 0;
    for (char16_t c : text) h = HashStep(h, c);
    return h == 0 ? 1 : h;
}

std::uint32_t NameHash(std::u16string_view text)
{
    const auto eq = text.find(u'=');
    return TextHash(eq == std::u16string_view::npos ? text : text.substr(0, eq));
}

TEnhStringList::~TEnhStringList()
{
    destroying_ = true;
    for (int i = 0; i < count_; ++i) items_[i].text.clear();
    count_ = 0;
    SetCapacity(0);
}

void TEnhStringList::Changing()
{
    if (updateCount_ == 0 && OnChanging)
        OnChanging();
}

void TEnhStringList::Changed()
{
    if (updateCount_ == 0 && OnChange)
        OnChange();
}

void TEnhStringList::BeginUpdate()
{
    if (updateCount_ == 0)
        Changing();
    ++updateCount_;
}

void TEnhStringList::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        Changed();
}

void TEnhStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= count_)
        IndexError(index);
}

void TEnhStringList::SetCapacity(int newCapacity)
{
    if (newCapacity < 16 && !destroying_)
        newCapacity = 16;
    if (newCapacity == capacity_)
        return;
    if (newCapacity < count_ || newCapacity > MaxCapacity)
        throw EStringListError("List capacity out of bounds (" + std::to_string(newCapacity) + ")", newCapacity);
    std::unique_ptr<Item[]> fresh;
    if (newCapacity > 0) {
        fresh = std::make_unique<Item[]>(static_cast<std::size_t>(newCapacity));
        for (int i = 0; i < count_; ++i) fresh[i] = std::move(items_[i]);
    }
    items_ = std::move(fresh);
    capacity_ = newCapacity;
}

void TEnhStringList::Grow()
{
    int delta;
    if (capacity_ < 16)
        delta = 16;
    else if (capacity_ <= 64)
        delta = capacity_;
    else
        delta = capacity_ / 2;
    SetCapacity(capacity_ + delta);
}

void TEnhStringList::InsertItem(int index, std::u16string_view text, ObjectSlot object)
{
    Changing();
    if (count_ == capacity_)
        Grow();
    std::u16string copy(text);  // the text may live in this list
    std::move_backward(items_.get() + index, items_.get() + count_, items_.get() + count_ + 1);
    items_[index].text = std::move(copy);
    items_[index].object = object;
    ++count_;
    Changed();
}

int TEnhStringList::AddItem(std::u16string_view text, ObjectSlot object, bool textInError)
{
    int index = count_;
    if (sorted_) {
        if (Find(text, index)) {
            switch (Duplicates) {
            case TDuplicates::Ignore: return index;
            case TDuplicates::Error:
                throw EStringListError(
                    textInError ? std::string(DuplicateMessage) + ": " + ToUtf8(text) : std::string(DuplicateMessage),
                    0);
            case TDuplicates::Accept: break;
            }
        }
    }
    InsertItem(index, text, object);
    return index;
}

int TEnhStringList::Add(std::u16string_view text)
{
    return AddItem(text, 0, true);
}

int TEnhStringList::AddObject(std::u16string_view text, ObjectSlot object)
{
    return AddItem(text, object, false);
}

void TEnhStringList::AddStrings(const TEnhStringList& source)
{
    BeginUpdate();
    struct End {
        TEnhStringList& list;
        ~End() { list.EndUpdate(); }
    } end{*this};
    const int n = source.count_;
    SetCapacity(count_ + n);
    for (int i = 0; i < n; ++i) {
        std::u16string text = source.items_[i].text;
        AddObject(text, source.items_[i].object);
    }
}

void TEnhStringList::Insert(int index, std::u16string_view text)
{
    if (sorted_)
        throw EStringListError(SortedMessage, 0);
    if (index < 0 || index > count_)
        IndexError(index);
    InsertItem(index, text, 0);
}

void TEnhStringList::Put(int index, std::u16string_view text)
{
    if (sorted_)
        throw EStringListError(SortedMessage, 0);
    CheckIndex(index);
    Changing();
    items_[index].text = std::u16string(text);
    Changed();
}

void TEnhStringList::PutObject(int index, ObjectSlot object)
{
    CheckIndex(index);
    Changing();
    items_[index].object = object;
    Changed();
}

const std::u16string& TEnhStringList::Get(int index) const
{
    CheckIndex(index);
    return items_[index].text;
}

TEnhStringList::ObjectSlot TEnhStringList::GetObject(int index) const
{
    CheckIndex(index);
    return items_[index].object;
}

bool TEnhStringList::Find(std::u16string_view text, int& index) const
{
    bool found = false;
    int low = 0;
    int high = count_ - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int c = CompareTextIgnoreCase(items_[middle].text, text);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != TDuplicates::Accept)
                    low = middle;
            }
        }
    }
    index = low;
    return found;
}

int TEnhStringList::IndexOf(std::u16string_view text) const
{
    if (sorted_) {
        int index;
        return Find(text, index) ? index : -1;
    }
    for (int i = 0; i < count_; ++i)
        if (TextEqualsIgnoreCase(items_[i].text, text))
            return i;
    return -1;
}

int TEnhStringList::IndexOfName(std::u16string_view name) const
{
    auto matches = [&](const std::u16string& item) {
        return item.size() > name.size() && item[name.size()] == u'=' &&
               (name.empty() || TextStartsWithIgnoreCase(item, name));
    };
    if (!HashedNames) {
        for (int i = 0; i < count_; ++i)
            if (matches(items_[i].text))
                return i;
        return -1;
    }
    const ObjectSlot hash = TextHash(name);
    for (int i = 0; i < count_; ++i) {
        Item& item = items_[i];
        if (item.object == 0)
            item.object = NameHash(item.text);  // cached once, never recomputed
        if (item.object == hash && matches(item.text))
            return i;
    }
    return -1;
}

void TEnhStringList::Sort()
{
    if (sorted_ || count_ <= 1)
        return;
    Changing();
    std::sort(items_.get(), items_.get() + count_,
              [](const Item& a, const Item& b) { return CompareTextIgnoreCase(a.text, b.text) < 0; });
    Changed();
}

void TEnhStringList::SetSorted(bool value)
{
    if (value == sorted_)
        return;
    if (value)
        Sort();
    sorted_ = value;
}

void TEnhStringList::Clear()
{
    if (count_ == 0)
        return;
    Changing();
    for (int i = 0; i < count_; ++i) {
        items_[i].text = std::u16string();
        items_[i].object = 0;
    }
    count_ = 0;
    SetCapacity(0);
    Changed();
}

std::u16string TEnhStringList::GetTextStr() const
{
    std::size_t total = 0;
    for (int i = 0; i < count_; ++i) total += items_[i].text.size() + 2;
    std::u16string result;
    result.resize(total);
    char16_t* p = result.data();
    for (int i = 0; i < count_; ++i) {
        const std::u16string& t = items_[i].text;
        p = std::copy(t.begin(), t.end(), p);
        *p++ = u'\r';
        *p++ = u'\n';
    }
    return result;
}

void TEnhStringList::SaveToFile(const std::string& fileName, const WriteFunction& write) const
{
    WriteFileAtomically(fileName, EncodeSystem8Bit(GetTextStr()), write);
}

}  // namespace brennic
