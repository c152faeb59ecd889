// What every part of the page shares: finding its elements and the lines it says things on.
export const $ = (id) => document.getElementById(id);

export function showError(message) {
  $('error').textContent = message;
}

// A word about what happened that is not a fault: a cancelled Apply, a task that changed nothing.
export function showNotice(message) {
  $('notice').textContent = message;
}

export function progress(text) {
  $('progress').hidden = !text;
  $('progress-text').textContent = text || '';
}
