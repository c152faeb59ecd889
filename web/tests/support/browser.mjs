// Debian's Chromium, headless, driven by playwright-core, with a profile of its own in a
// scratch folder; requests that would leave the machine are refused and listed in offsite.
import { join } from 'node:path';
import { chromium } from 'playwright-core';

export async function launch(scratch, address, offsite = []) {
  const context = await chromium.launchPersistentContext(join(scratch, 'profile'), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=no-user-gesture-required'],
    viewport: { width: 1280, height: 800 },
    acceptDownloads: true,
  });
  await context.route('**/*', (route) => {
    if (route.request().url().startsWith(address)) return route.continue();
    offsite.push(route.request().url());
    return route.abort();
  });
  return context;
}
