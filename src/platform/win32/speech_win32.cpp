#include "platform/win32/speech_win32.h"

#include <oleauto.h>
#include <sapi.h>

namespace quillvane::win32 {

std::unique_ptr<SapiVoice> SapiVoice::create() {
  ISpVoice* voice = nullptr;
  HRESULT result = CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                                    reinterpret_cast<void**>(&voice));
  if (FAILED(result) || !voice) return nullptr;
  return std::unique_ptr<SapiVoice>(new SapiVoice(voice));
}

SapiVoice::~SapiVoice() {
  // Stop whatever is still being said before letting the voice go.
  voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
  voice_->Release();
}

void SapiVoice::speak_purge(const std::string& text) {
  std::string line = text;
  if (notice_due_) {
    line = notice_ + "  " + text;
    notice_due_ = false;
    notice_told_ = true;
  }
  // The game's flags 3: return at once, and cut off the line before.
  voice_->Speak(display_wide(line).c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
}

namespace {

// The primary language of each LCID in a voice's Language attribute
// ("409;9": hexadecimal LCIDs separated by semicolons).
bool voice_speaks(const wchar_t* languages, LANGID wanted) {
  for (const wchar_t* at = languages; *at;) {
    wchar_t* end = nullptr;
    const unsigned long lcid = wcstoul(at, &end, 16);
    if (end == at) break;
    if (PRIMARYLANGID(LANGIDFROMLCID(lcid)) == wanted) return true;
    at = *end == L';' ? end + 1 : end;
  }
  return false;
}

}  // namespace

void SapiVoice::set_language(const std::string& code, const std::string& notice) {
  notice_ = notice;
  notice_due_ = false;
  // The pseudo-language of the tests asks for English.
  std::wstring name = code == "qps" ? L"en" : to_wide(code);
  for (wchar_t& c : name)
    if (c == L'_') c = L'-';
  const LCID lcid = LocaleNameToLCID(name.c_str(), 0);
  if (lcid == 0) return;
  const LANGID wanted = PRIMARYLANGID(LANGIDFROMLCID(lcid));
  ISpObjectTokenCategory* category = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL,
                              IID_ISpObjectTokenCategory, reinterpret_cast<void**>(&category))))
    return;
  IEnumSpObjectTokens* tokens = nullptr;
  bool listed = false, found = false;
  if (SUCCEEDED(category->SetId(SPCAT_VOICES, FALSE)) &&
      SUCCEEDED(category->EnumTokens(nullptr, nullptr, &tokens)) && tokens) {
    ISpObjectToken* token = nullptr;
    while (!found && tokens->Next(1, &token, nullptr) == S_OK && token) {
      listed = true;
      ISpDataKey* attributes = nullptr;
      if (SUCCEEDED(token->OpenKey(L"Attributes", &attributes)) && attributes) {
        wchar_t* languages = nullptr;
        if (SUCCEEDED(attributes->GetStringValue(L"Language", &languages)) && languages) {
          if (voice_speaks(languages, wanted)) found = SUCCEEDED(voice_->SetVoice(token));
          CoTaskMemFree(languages);
        }
        attributes->Release();
      }
      token->Release();
    }
    tokens->Release();
  }
  category->Release();
  // A system that lists no voices tells nothing about the language.
  notice_due_ = listed && !found && !notice_told_;
}

// An empty line that purges says nothing and silences the one before.
void SapiVoice::stop() { voice_->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr); }

void SapiVoice::finish(unsigned milliseconds) { voice_->WaitUntilDone(milliseconds); }

// SAPI takes rates from -10 to 10 and volumes from 0 to 100; anything else
// is refused and the voice keeps its setting.
void SapiVoice::set_rate(int rate) { voice_->SetRate(rate); }

void SapiVoice::set_volume(int volume) {
  if (volume < 0 || volume > 100) return;
  voice_->SetVolume(static_cast<USHORT>(volume));
}

std::unique_ptr<JawsReader> JawsReader::create() {
  CLSID jaws_class{};
  if (FAILED(CLSIDFromProgID(L"FreedomSci.JawsApi", &jaws_class))) return nullptr;
  IDispatch* jaws = nullptr;
  HRESULT result = CoCreateInstance(jaws_class, nullptr, CLSCTX_ALL, IID_IDispatch,
                                    reinterpret_cast<void**>(&jaws));
  if (FAILED(result) || !jaws) return nullptr;
  wchar_t method[] = L"SayString";
  LPOLESTR names[] = {method};
  DISPID id = 0;
  if (FAILED(jaws->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
    jaws->Release();
    return nullptr;
  }
  return std::unique_ptr<JawsReader>(new JawsReader(jaws, id));
}

JawsReader::~JawsReader() { jaws_->Release(); }

void JawsReader::say_string(const std::string& text, bool flush) {
  std::wstring wide = display_wide(text);
  BSTR spoken = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!spoken) return;
  // IDispatch takes its arguments last first: [1] the text, [0] the flush flag.
  VARIANTARG arguments[2];
  VariantInit(&arguments[0]);
  VariantInit(&arguments[1]);
  arguments[0].vt = VT_BOOL;
  arguments[0].boolVal = flush ? VARIANT_TRUE : VARIANT_FALSE;
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = spoken;
  DISPPARAMS parameters{arguments, nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  jaws_->Invoke(say_string_id_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                &result, nullptr, nullptr);
  VariantClear(&result);
  SysFreeString(spoken);
}

}  // namespace quillvane::win32
