// The level control. It offers what the engine announces: "UCI_Elo" (with
// "UCI_LimitStrength") when it has them, else "Skill Level", else only full strength. A
// choice's value is what levelCommands turns into setoption lines.

const FULL = { value: 'full', label: 'Full strength' };

export function levelChoices(options) {
  const elo = options.get('UCI_Elo');
  if (elo && options.has('UCI_LimitStrength')) {
    const choices = [];
    const step = Math.max(100, Math.round((elo.max - elo.min) / 10 / 100) * 100);
    for (let e = elo.min; e < elo.max; e += step) choices.push({ value: 'elo:' + e, label: 'Elo ' + e });
    return [...choices, FULL];
  }
  const skill = options.get('Skill Level');
  if (skill) {
    const choices = [];
    for (let s = skill.min; s < skill.max; s++) choices.push({ value: 'skill:' + s, label: 'Level ' + s });
    return [...choices, FULL];
  }
  return [FULL];
}

export function levelCommands(options, value) {
  const lines = [];
  const [kind, n] = String(value).split(':');
  if (options.has('UCI_LimitStrength'))
    lines.push('setoption name UCI_LimitStrength value ' + (kind === 'elo'));
  if (kind === 'elo') lines.push('setoption name UCI_Elo value ' + n);
  if (options.has('Skill Level')) {
    const skill = options.get('Skill Level');
    lines.push('setoption name Skill Level value ' + (kind === 'skill' ? n : skill.max));
  }
  return lines;
}
