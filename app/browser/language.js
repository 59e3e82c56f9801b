// The page's language: Japanese, as the game was written, or English from the translators'
// catalogue (page-texts.js, made from it at build time). The player's choice on the page's
// switch is kept for the next visit; without one, the browser's preferred languages decide:
// their first Japanese or English entry, else English for any other language, and Japanese
// when the browser names none.
(function () {
  'use strict';
  const KEY = 'skarvelin-language';
  const english = (window.skarvelinTexts && window.skarvelinTexts.en) || {};
  const listeners = [];

  function stored() {
    try {
      const value = localStorage.getItem(KEY);
      return value === 'ja' || value === 'en' ? value : null;
    } catch (e) {
      return null; // storage refused (private windows, blocked cookies): choose afresh
    }
  }

  function fromBrowser() {
    const preferred = navigator.languages && navigator.languages.length ? navigator.languages
                                                                         : [navigator.language];
    const named = preferred.filter(Boolean);
    for (const tag of named) {
      if (/^ja\b/i.test(tag)) return 'ja';
      if (/^en\b/i.test(tag)) return 'en';
    }
    return named.length ? 'en' : 'ja';
  }

  let current = stored() || fromBrowser();

  function keep(language) {
    try {
      localStorage.setItem(KEY, language);
    } catch (e) {
      // Not kept: the choice holds until the page is left.
    }
  }

  window.skarvelinLanguage = {
    current: function () { return current; },
    // A text of the page, written in Japanese, in the page's language.
    t: function (text) { return current === 'en' && english[text] ? english[text] : text; },
    choose: function (language) {
      if (language !== 'ja' && language !== 'en') return;
      keep(language);
      if (language === current) return;
      current = language;
      document.documentElement.lang = language;
      listeners.forEach(function (listener) { listener(language); });
    },
    onChange: function (listener) { listeners.push(listener); },
  };
  document.documentElement.lang = current;
})();
